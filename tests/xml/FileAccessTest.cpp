// The safe replacement of a file: atomic where the folder allows a new file,
// in place where only the file may be written, only ever a regular file.
#include "xml/FileAccess.h"
#include "xml/XmlError.h"

#include "files/MollierFileHandling.h"
#include "localisation/Translator.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempFolder.h"
#include "xml/DomImplementation.h"
#include "xml/XmlParser.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace psykrona {
namespace {

namespace fs = std::filesystem;
using test::TTempFolder;
constexpr fs::perms KNoExec = fs::perms::all & ~fs::perms::owner_exec & ~fs::perms::group_exec &
                              ~fs::perms::others_exec;

std::string WriteError(const std::string& FileName, std::string_view Bytes) {
    try {
        WriteFileAtomically(FileName, Bytes);
    } catch (const EXmlFileError& E) {
        return E.what();
    }
    return "(written)";
}

// A regular file is replaced keeping its permissions and owner, the new file
// nameless until complete; a device node, a folder, a link to a named pipe or
// a missing folder is refused, named, and stays (more: the tool's outputs).
TEST(FileAccessTest, ReplacesOnlyRegularFilesKeepingWhatBelongsToThem) {
    TTempFolder Folder;
    WriteFileAtomically(Folder.File("f.xml"), "first");
    const fs::perms Perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(Folder.File("f.xml"), Perms);
    const bool Root = geteuid() == 0;
    if (Root) {
        ASSERT_EQ(chown(Folder.File("f.xml").c_str(), test::KOrdinaryUser, test::KOrdinaryUser), 0);
    }
    static const TTempFolder* Watched = &Folder;
    static std::string DuringWrite;
    SetSaveStepHook([](TSaveStep Step) { DuringWrite += Step == TSaveStep::Written ? Watched->Listing() : ""; });
    WriteFileAtomically(Folder.File("f.xml"), "second, longer");
    SetSaveStepHook(nullptr);
    EXPECT_EQ(DuringWrite, "f.xml\n");
    EXPECT_EQ(Folder.Read("f.xml"), "second, longer");
    struct stat St {};
    ASSERT_EQ(stat(Folder.File("f.xml").c_str(), &St), 0);
    EXPECT_EQ(fs::status(Folder.File("f.xml")).permissions(), Perms);
    EXPECT_TRUE(St.st_uid == (Root ? test::KOrdinaryUser : geteuid()) &&
                St.st_gid == (Root ? test::KOrdinaryUser : getegid()));

    if (Root) { // the null device's own node, made here so no test can harm /dev
        ASSERT_EQ(mknod(Folder.File("null").c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
    } else {
        fs::create_symlink("/dev/null", Folder.File("null"));
    }
    ASSERT_EQ(mkfifo(Folder.File("fifo").c_str(), 0666), 0);
    fs::create_symlink("fifo", Folder.File("to-fifo"));
    fs::create_directory(Folder.File("dir"));
    for (const char* Name : {"null", "to-fifo", "dir", "no/such/f.xml"}) {
        EXPECT_NE(WriteError(Folder.File(Name), "x").find(Folder.File(Name)), std::string::npos) << Name;
    }
    EXPECT_TRUE(fs::is_character_file(Folder.File("null")) && fs::is_fifo(Folder.File("to-fifo")));
    EXPECT_EQ(Folder.Listing(), "dir\nf.xml\nfifo\nnull\nto-fifo\n");
}

// Where the folder refuses new files but the file may be written, the save
// rewrites the file in place, a project and the language list alike; a write
// failing halfway puts the old bytes back. Run as an ordinary user, for whom
// permissions count.
TEST(FileAccessTest, SavesInPlaceWhereOnlyTheFileIsWritable) {
    TTempFolder Folder;
    Folder.Write("English.lng", "[M]\nA=a\n");
    Folder.Write("Swedish.lng", "[M]\nA=b\n");
    Folder.Write("Languages.xml", "<list><default><language>en</language></default><languages><language><code>en"
                                  "</code><file>English.lng</file></language><language><code>sv</code><file>"
                                  "Swedish.lng</file></language></languages></list>");
    Folder.Write("f.txt", std::string(300000, 'o'));
    Folder.Write("p.pkx", "");
    Folder.Write("ro.txt", "read-only");
    fs::create_hard_link(Folder.File("f.txt"), Folder.File("f.link"));
    for (const auto& Entry : fs::directory_iterator(Folder.Path())) {
        fs::permissions(Entry.path(), KNoExec);
    }
    fs::permissions(Folder.File("ro.txt"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(Folder.Path(), fs::perms::all & ~fs::perms::owner_write & ~fs::perms::group_write &
                                       ~fs::perms::others_write);
    const int Code = test::RunAsOrdinaryUser([&] {
        const std::string File = Folder.File("f.txt");
        const std::string Long(200000, 'L');
        WriteFileAtomically(File, Long);
        PSYKRONA_CHILD_CHECK(Folder.Read("f.txt") == Long && Folder.Read("f.link") == Long); // the same file
        PSYKRONA_CHILD_CHECK(fs::status(File).permissions() == KNoExec);
        static int Chunks = 0;
        SetSaveStepHook([](TSaveStep Step) {
            if (Step == TSaveStep::Chunk && ++Chunks == 2) {
                throw EXmlFileError("write failed", EIO);
            }
        });
        PSYKRONA_CHILD_CHECK(WriteError(File, std::string(300000, 'N')).find("write failed") != std::string::npos);
        SetSaveStepHook(nullptr);
        PSYKRONA_CHILD_CHECK(Chunks == 2 && Folder.Read("f.txt") == Long);

        TMain Doc;
        Doc.AddPoint().Name = "in place";
        TDomImplementation Dom;
        TXmlParser Parser(Dom);
        TMollierFileHandling Files(Dom, Parser);
        Files.FProject = &Doc;
        Files.SaveProjectAs(Folder.File("p.pkx"));
        PSYKRONA_CHILD_CHECK(Folder.Read("p.pkx") == TMollierFileHandling::ProjectToXml(Doc));
        TTranslator::CreateInstance(Dom, Parser, Folder.Dir());
        TTranslator::SetLanguage(1);
        TTranslator::DestroyInstance();
        PSYKRONA_CHILD_CHECK(Folder.Read("Languages.xml").find("<language>sv</language></default>") != std::string::npos);
        // What the folder or the file refuses stays refused.
        PSYKRONA_CHILD_CHECK(WriteError(Folder.File("new.txt"), "x").find("Permission denied") != std::string::npos);
        PSYKRONA_CHILD_CHECK(WriteError(Folder.File("ro.txt"), "x").find("Permission denied") != std::string::npos);
        return 0;
    });
    EXPECT_EQ(Code, 0);
    EXPECT_EQ(Folder.Read("ro.txt"), "read-only");
    EXPECT_EQ(Folder.Listing(), "English.lng\nLanguages.xml\nSwedish.lng\nf.link\nf.txt\np.pkx\nro.txt\n");
}

} // namespace
} // namespace psykrona
