// The operating system's side of files as the saves use it: positioned
// writes, sizes and reservations against a model, renames that replace
// whole or not at all, link and identity status, and the lock and process
// checks that tell a running save's temporary file from an ended one's.

#include "platform/Platform.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace psykrona {
namespace {

using test::TTempFolder;

std::string Content(const std::string& Path) {
    TSystemFile File;
    EXPECT_EQ(File.OpenForReading(Path), 0) << Path;
    std::string Out;
    std::string Buffer(4096, '\0');
    for (std::size_t Got = 1; Got != 0;) {
        EXPECT_EQ(File.Read(Buffer.data(), Buffer.size(), Got), 0);
        Out.append(Buffer, 0, Got);
    }
    return Out;
}

void Put(const std::string& Path, const std::string& Bytes) {
    TSystemFile File;
    ASSERT_EQ(File.CreateNew(Path), 0) << Path;
    std::size_t Written = 0;
    ASSERT_EQ(File.WriteAt(Bytes.data(), Bytes.size(), 0, Written), 0);
    ASSERT_EQ(Written, Bytes.size());
    ASSERT_EQ(File.Close(), 0);
}

TEST(PlatformTest, WritesResizesAndReservationsMatchAModel) {
    const TTempFolder Folder;
    const std::string Path = Folder.File("model");
    TSystemFile File;
    TSystemFile Again;
    TSystemFile Reader;
    ASSERT_EQ(File.CreateNew(Path), 0);
    ASSERT_EQ(Again.CreateNew(Path), EEXIST);
    ASSERT_EQ(Reader.OpenForReading(Path), 0);
    const unsigned Seed = std::random_device{}();
    std::mt19937 Random(Seed);
    std::string Model;
    for (int Edit = 0; Edit < 200; ++Edit) {
        const auto Size = std::uniform_int_distribution<std::size_t>(0, 5000)(Random);
        switch (Random() % 3) {
        case 0: {
            const auto Offset = std::uniform_int_distribution<std::size_t>(0, Model.size() + 100)(Random);
            const std::string Bytes(Size, static_cast<char>('a' + Random() % 26));
            std::size_t Written = 0;
            ASSERT_EQ(File.WriteAt(Bytes.data(), Bytes.size(), Offset, Written), 0);
            ASSERT_EQ(Written, Size);
            Model.resize(std::max(Model.size(), Offset + Size), '\0');
            Model.replace(Offset, Size, Bytes);
            break;
        }
        case 1:
            ASSERT_EQ(File.Resize(Size), 0);
            Model.resize(Size, '\0');
            break;
        default:
            // A reservation never cuts the file nor changes a byte in it.
            ASSERT_EQ(File.Reserve(Size), 0);
            Model.resize(std::max(Model.size(), Size), '\0');
        }
        TFileStatus Open;
        TFileStatus Named;
        ASSERT_EQ(File.Status(Open), 0);
        ASSERT_EQ(PathStatus(Path, true, Named), 0);
        ASSERT_EQ(Open.Size, Model.size()) << "seed " << Seed << ", edit " << Edit;
        ASSERT_EQ(Named.Size, Model.size()) << "seed " << Seed << ", edit " << Edit;
        std::string Back(Model.size() + 10, '\0');
        std::size_t Got = 0;
        ASSERT_EQ(Reader.ReadAt(Back.data(), Back.size(), 0, Got), 0);
        ASSERT_EQ(Back.substr(0, Got), Model) << "seed " << Seed << ", edit " << Edit;
    }
    EXPECT_EQ(File.Flush(), 0);
    EXPECT_EQ(File.Close(), 0);
    EXPECT_EQ(Content(Path), Model) << "seed " << Seed;
}

TEST(PlatformTest, ARenameReplacesTheFileWholeOrLeavesBothAsTheyWere) {
    const TTempFolder Folder;
    const std::string Target = Folder.File("project.pkx");
    const std::string New = Folder.File(".new");
    Put(Target, "old bytes");
    Put(New, "new bytes, longer");

    // Failures: nothing to rename, and a folder in the way.
    EXPECT_EQ(RenameOver(Folder.File("missing"), Target), ENOENT);
    const std::string Busy = Folder.File("folder");
    ASSERT_EQ(mkdir(Busy.c_str(), 0700), 0);
    Put(Busy + "/inside", "x");
    EXPECT_NE(RenameOver(New, Busy), 0);
    EXPECT_EQ(Content(Target), "old bytes");
    EXPECT_EQ(Content(New), "new bytes, longer");

    ASSERT_EQ(RenameOver(New, Target), 0);
    FlushFolder(Folder.Dir());
    EXPECT_EQ(Content(Target), "new bytes, longer");
    TFileStatus Gone;
    EXPECT_EQ(PathStatus(New, false, Gone), ENOENT);
    EXPECT_EQ(RemoveFile(Target), 0);
    EXPECT_EQ(RemoveFile(Target), ENOENT);
}

TEST(PlatformTest, StatusTellsLinksFromTheirTargetsAndTheSameFileFromACopy) {
    const TTempFolder Folder;
    const std::string File = Folder.File("file");
    const std::string Copy = Folder.File("copy");
    const std::string Hard = Folder.File("hard");
    const std::string Soft = Folder.File("soft");
    Put(File, "12345");
    Put(Copy, "12345");
    ASSERT_EQ(link(File.c_str(), Hard.c_str()), 0);
    ASSERT_EQ(symlink(File.c_str(), Soft.c_str()), 0);

    TFileStatus OfFile, OfCopy, OfHard, OfLink, Through, OfFolder;
    ASSERT_EQ(PathStatus(File, true, OfFile), 0);
    ASSERT_EQ(PathStatus(Copy, true, OfCopy), 0);
    ASSERT_EQ(PathStatus(Hard, false, OfHard), 0);
    ASSERT_EQ(PathStatus(Soft, false, OfLink), 0);
    ASSERT_EQ(PathStatus(Soft, true, Through), 0);
    ASSERT_EQ(PathStatus(Folder.Dir(), true, OfFolder), 0);
    EXPECT_EQ(OfFile.Kind, TFileKind::Regular);
    EXPECT_EQ(OfFile.Size, 5u);
    EXPECT_EQ(OfLink.Kind, TFileKind::Link);
    EXPECT_EQ(Through.Kind, TFileKind::Regular);
    EXPECT_EQ(OfFolder.Kind, TFileKind::Folder);
    EXPECT_TRUE(IsSameFile(OfFile, OfHard));
    EXPECT_TRUE(IsSameFile(OfFile, Through));
    EXPECT_FALSE(IsSameFile(OfFile, OfCopy));
    EXPECT_FALSE(IsSameFile(OfFile, OfLink));

    std::string Resolved;
    std::string Real;
    ASSERT_EQ(ResolvePath(Soft, Resolved), 0);
    ASSERT_EQ(ResolvePath(File, Real), 0);
    EXPECT_EQ(Resolved, Real);
    EXPECT_EQ(Resolved.substr(NameStart(Resolved)), "file");
    EXPECT_EQ(NameStart("plain"), 0u);
    EXPECT_EQ(ResolvePath(Folder.File("missing"), Resolved), ENOENT);
}

TEST(PlatformTest, ALockAndTheProcessIdTellARunningSaveFromAnEndedOne) {
    const TTempFolder Folder;
    const std::string Path = Folder.File(".temporary");
    Put(Path, "being written");
    TSystemFile Saving;
    TSystemFile Cleaning;
    ASSERT_EQ(Saving.OpenForUpdate(Path), 0);
    ASSERT_EQ(Cleaning.OpenForUpdate(Path, false), 0);
    // Two opens in one process stand for two processes here: the lock must
    // belong to the open file, not to the process.
    ASSERT_TRUE(Saving.Lock());
    EXPECT_FALSE(Cleaning.Lock());
    ASSERT_EQ(Saving.Close(), 0);
    EXPECT_TRUE(Cleaning.Lock());

    EXPECT_FALSE(ProcessIsGone(CurrentProcessId()));
    const pid_t Child = fork();
    ASSERT_GE(Child, 0);
    if (Child == 0) {
        _exit(0);
    }
    int Status = 0;
    ASSERT_EQ(waitpid(Child, &Status, 0), Child);
    EXPECT_TRUE(ProcessIsGone(Child));
}

} // namespace
} // namespace psykrona
