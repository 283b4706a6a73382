// Whole-file reading and the atomic replacement of a file.
#include "xml/FileAccess.h"
#include "xml/XmlDocument.h"
#include "xml/XmlError.h"

#include "tests/xml/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

namespace psykrona {
namespace {

namespace fs = std::filesystem;

TEST(FileAccessTest, ReadsWholeFilesAndNamesTheFailure) {
    test::TTempFolder Folder;
    std::string Big(200000, 'x');
    Big[123456] = '\0';
    Folder.Write("big", Big);
    EXPECT_EQ(ReadFileBytes(Folder.File("big")), Big);
    try {
        ReadFileBytes(Folder.File("missing"));
        FAIL();
    } catch (const EXmlFileError& E) {
        EXPECT_EQ(E.ErrorCode(), ENOENT);
        EXPECT_NE(std::string(E.what()).find(Folder.File("missing")), std::string::npos);
    }
    EXPECT_THROW(ReadFileBytes(Folder.Dir()), EXmlFileError);
}

TEST(FileAccessTest, ReplacesAFileAndKeepsItsPermissions) {
    test::TTempFolder Folder;
    WriteFileAtomically(Folder.File("f.xml"), "first");
    EXPECT_EQ(Folder.Read("f.xml"), "first");
    fs::permissions(Folder.File("f.xml"),
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    WriteFileAtomically(Folder.File("f.xml"), "second, longer");
    EXPECT_EQ(Folder.Read("f.xml"), "second, longer");
    EXPECT_EQ(fs::status(Folder.File("f.xml")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    WriteFileAtomically(Folder.File("f.xml"), "");
    EXPECT_EQ(Folder.Read("f.xml"), "");
    EXPECT_EQ(Folder.Listing(), "f.xml\n") << "no temporary file is left";
}

TEST(FileAccessTest, WritesThroughASymbolicLink) {
    test::TTempFolder Folder;
    Folder.Write("real.xml", "old");
    fs::create_symlink(Folder.File("real.xml"), Folder.File("link.xml"));
    WriteFileAtomically(Folder.File("link.xml"), "new");
    EXPECT_TRUE(fs::is_symlink(Folder.File("link.xml")));
    EXPECT_EQ(Folder.Read("real.xml"), "new");
}

TEST(FileAccessTest, AFailedWriteLeavesTheOldStateIntact) {
    test::TTempFolder Folder;
    // The target is a folder: nothing can replace it.
    fs::create_directory(Folder.File("Languages.xml"));
    Folder.Write("Languages.xml/inside", "keep");
    EXPECT_THROW(WriteFileAtomically(Folder.File("Languages.xml"), "x"), EXmlFileError);
    EXPECT_EQ(Folder.Read("Languages.xml/inside"), "keep");
    // A folder that does not exist.
    EXPECT_THROW(WriteFileAtomically(Folder.File("no/such/f.xml"), "x"), EXmlFileError);
    EXPECT_EQ(Folder.Listing(), "Languages.xml\n");
}

TEST(FileAccessTest, WriteProtectionIsHonoured) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "permissions do not stop the superuser";
    }
    test::TTempFolder Folder;
    Folder.Write("ro.xml", "old");
    fs::permissions(Folder.File("ro.xml"), fs::perms::owner_read);
    EXPECT_THROW(WriteFileAtomically(Folder.File("ro.xml"), "new"), EXmlFileError);
    EXPECT_EQ(Folder.Read("ro.xml"), "old");
    fs::permissions(Folder.Path(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_THROW(WriteFileAtomically(Folder.File("new.xml"), "new"), EXmlFileError);
}

TEST(FileAccessTest, DocumentsWriteTheirBytesToFiles) {
    test::TTempFolder Folder;
    TXmlDocument Doc("r");
    Doc.DocumentElement()->AppendChild(Doc.CreateTextNode("a\nb"));
    Doc.WriteToFile(Folder.File("d.xml"));
    EXPECT_EQ(Folder.Read("d.xml"), Doc.WriteToString());
}

} // namespace
} // namespace psykrona
