// The system's side of files as saves use it: writes against a model, whole
// renames, link status, and what tells a running save's leftovers apart.
#include "platform/Platform.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <random>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace psykrona {
namespace {

// The file read through to its end in pieces.
std::string Content(const std::string& Path) {
    TSystemFile File;
    EXPECT_EQ(File.OpenForReading(Path), 0) << Path;
    std::string Out, Buffer(4096, '\0');
    for (std::size_t Got = 1; Got != 0; Out.append(Buffer, 0, Got)) {
        EXPECT_EQ(File.Read(Buffer.data(), Buffer.size(), Got), 0);
    }
    return Out;
}

void Put(const std::string& Path, const std::string& Bytes) {
    TSystemFile File;
    std::size_t Written = 0;
    ASSERT_EQ(File.CreateNew(Path) + File.WriteAt(Bytes.data(), Bytes.size(), 0, Written) + File.Close(), 0) << Path;
    ASSERT_EQ(Written, Bytes.size());
}

TEST(PlatformTest, WritesResizesAndReservationsMatchAModel) {
    const test::TTempFolder Folder;
    const std::string Path = Folder.File("model");
    TSystemFile File, Again, Reader;
    ASSERT_EQ(File.CreateNew(Path), 0);
    ASSERT_EQ(Again.CreateNew(Path), EEXIST);
    ASSERT_EQ(Reader.OpenForReading(Path), 0);
    const unsigned Seed = std::random_device{}();
    std::mt19937 Random(Seed);
    std::string Model;
    for (int Edit = 0; Edit < 200; ++Edit) {
        SCOPED_TRACE("seed " + std::to_string(Seed) + ", edit " + std::to_string(Edit));
        const auto Size = std::uniform_int_distribution<std::size_t>(0, 5000)(Random);
        const auto Offset = std::uniform_int_distribution<std::size_t>(0, Model.size() + 100)(Random);
        const auto Kind = Random() % 3;
        if (Kind == 0) {
            const std::string Bytes(Size, static_cast<char>('a' + Random() % 26));
            std::size_t Written = 0;
            ASSERT_EQ(File.WriteAt(Bytes.data(), Bytes.size(), Offset, Written), 0);
            ASSERT_EQ(Written, Size);
            Model.resize(std::max(Model.size(), Offset + Size), '\0');
            Model.replace(Offset, Size, Bytes);
        } else { // a reservation never cuts the file nor changes a byte in it
            ASSERT_EQ(Kind == 1 ? File.Resize(Size) : File.Reserve(Size), 0);
            Model.resize(Kind == 1 ? Size : std::max(Model.size(), Size), '\0');
        }
        TFileStatus Open, Named;
        ASSERT_EQ(File.Status(Open) + PathStatus(Path, true, Named), 0);
        ASSERT_EQ(Open.Size, Model.size());
        ASSERT_EQ(Named.Size, Model.size());
        std::string Back(Model.size() + 10, '\0');
        std::size_t Got = 0;
        ASSERT_EQ(Reader.ReadAt(Back.data(), Back.size(), 0, Got), 0);
        ASSERT_EQ(Back.substr(0, Got), Model);
    }
    EXPECT_EQ(File.Flush() + File.Close(), 0);
    EXPECT_EQ(Content(Path), Model) << "seed " << Seed;
}

TEST(PlatformTest, ARenameReplacesTheFileWholeOrLeavesBothAsTheyWere) {
    const test::TTempFolder Folder;
    const std::string Target = Folder.File("project.pkx"), New = Folder.File(".new"), Busy = Folder.File("folder");
    Put(Target, "old bytes");
    Put(New, "new bytes, longer");
    EXPECT_EQ(RenameOver(Folder.File("missing"), Target), ENOENT);
    ASSERT_EQ(mkdir(Busy.c_str(), 0700), 0);
    EXPECT_NE(RenameOver(New, Busy), 0) << "a folder in the way";
    EXPECT_EQ(Content(Target) + "|" + Content(New), "old bytes|new bytes, longer");

    ASSERT_EQ(RenameOver(New, Target), 0);
    EXPECT_EQ(Content(Target), "new bytes, longer");
    EXPECT_EQ(RemoveFile(New), ENOENT) << "the new file's name is gone";
    EXPECT_EQ(RemoveFile(Target), 0);
}

TEST(PlatformTest, StatusTellsLinksFromTheirTargetsAndTheSameFileFromACopy) {
    const test::TTempFolder Folder;
    const std::string File = Folder.File("file"), Hard = Folder.File("hard"), Soft = Folder.File("soft");
    Put(File, "12345");
    Put(Folder.File("copy"), "12345");
    ASSERT_EQ(link(File.c_str(), Hard.c_str()) + symlink(File.c_str(), Soft.c_str()), 0);
    TFileStatus OfFile, OfCopy, OfHard, OfLink, Through, OfFolder;
    ASSERT_EQ(PathStatus(File, true, OfFile) + PathStatus(Folder.File("copy"), true, OfCopy) +
                  PathStatus(Hard, false, OfHard) + PathStatus(Soft, false, OfLink) + PathStatus(Soft, true, Through) +
                  PathStatus(Folder.Dir(), true, OfFolder),
              0);
    EXPECT_TRUE(OfFile.Kind == TFileKind::Regular && OfFile.Size == 5u && OfLink.Kind == TFileKind::Link &&
                Through.Kind == TFileKind::Regular && OfFolder.Kind == TFileKind::Folder);
    EXPECT_TRUE(IsSameFile(OfFile, OfHard) && IsSameFile(OfFile, Through));
    EXPECT_FALSE(IsSameFile(OfFile, OfCopy) || IsSameFile(OfFile, OfLink));
    std::string Resolved, Real;
    ASSERT_EQ(ResolvePath(Soft, Resolved) + ResolvePath(File, Real), 0);
    EXPECT_EQ(Resolved.substr(NameStart(Resolved)) + " " + Resolved, "file " + Real);
}

TEST(PlatformTest, ALockAndTheProcessIdTellARunningSaveFromAnEndedOne) {
    const test::TTempFolder Folder;
    const std::string Path = Folder.File(".temporary");
    Put(Path, "being written");
    TSystemFile Saving, Cleaning;
    ASSERT_EQ(Saving.OpenForUpdate(Path) + Cleaning.OpenForUpdate(Path, false), 0);
    // Two opens in one process stand for two processes here: the lock must
    // belong to the open file, not to the process.
    ASSERT_TRUE(Saving.Lock());
    EXPECT_FALSE(Cleaning.Lock());
    ASSERT_EQ(Saving.Close(), 0);
    EXPECT_TRUE(Cleaning.Lock());
    EXPECT_FALSE(ProcessIsGone(CurrentProcessId()));
    const pid_t Child = fork();
    if (Child == 0) {
        _exit(0);
    }
    ASSERT_EQ(waitpid(Child, nullptr, 0), Child);
    EXPECT_TRUE(ProcessIsGone(Child));
}

} // namespace
} // namespace psykrona
