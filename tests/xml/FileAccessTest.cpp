// Whole-file reading and the safe replacement of a file: atomic where the
// folder allows a new file, in place where only the file may be written, and
// never over anything that is not a regular file.
#include "xml/FileAccess.h"
#include "xml/XmlDocument.h"
#include "xml/XmlError.h"

#include "files/MollierFileHandling.h"
#include "localisation/Translator.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempFolder.h"
#include "xml/DomImplementation.h"
#include "xml/XmlParser.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

namespace psykrona {
namespace {

namespace fs = std::filesystem;
using test::TTempFolder;

std::string WriteError(const std::string& FileName, std::string_view Bytes) {
    try {
        WriteFileAtomically(FileName, Bytes);
    } catch (const EXmlFileError& E) {
        return E.what();
    }
    return "(written)";
}

ino_t Inode(const std::string& FileName) {
    struct stat St {};
    stat(FileName.c_str(), &St);
    return St.st_ino;
}

TEST(FileAccessTest, ReadsWholeFilesAndNamesTheFailure) {
    TTempFolder Folder;
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

// What belongs to the file stays: its permissions, its owner (where the
// process may set it), a link to it, and any name the system allows; no
// temporary file is left, and none has a name during the write.
TEST(FileAccessTest, ReplacesAFileKeepingWhatBelongsToIt) {
    TTempFolder Folder;
    WriteFileAtomically(Folder.File("f.xml"), "first");
    EXPECT_EQ(Folder.Read("f.xml"), "first");
    fs::permissions(Folder.File("f.xml"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const bool Root = geteuid() == 0;
    if (Root) {
        ASSERT_EQ(chown(Folder.File("f.xml").c_str(), test::KOrdinaryUser, test::KOrdinaryUser), 0);
    }
    static const TTempFolder* Watched = &Folder;
    static std::string DuringWrite;
    SetSaveStepHook([](TSaveStep Step) {
        if (Step == TSaveStep::Written) {
            DuringWrite = Watched->Listing();
        }
    });
    WriteFileAtomically(Folder.File("f.xml"), "second, longer");
    SetSaveStepHook(nullptr);
    EXPECT_EQ(DuringWrite, "f.xml\n") << "the new file has no name until it is complete";
    EXPECT_EQ(Folder.Read("f.xml"), "second, longer");
    EXPECT_EQ(fs::status(Folder.File("f.xml")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    struct stat St {};
    ASSERT_EQ(stat(Folder.File("f.xml").c_str(), &St), 0);
    EXPECT_EQ(St.st_uid, Root ? test::KOrdinaryUser : geteuid());
    EXPECT_EQ(St.st_gid, Root ? test::KOrdinaryUser : getegid());

    Folder.Write("real.xml", "old");
    fs::create_symlink("real.xml", Folder.File("link.xml"));
    WriteFileAtomically(Folder.File("link.xml"), "new");
    EXPECT_TRUE(fs::is_symlink(Folder.File("link.xml")));
    EXPECT_EQ(Folder.Read("real.xml"), "new");

    const std::string Longest(255, 'n');
    WriteFileAtomically(Folder.File(Longest), "long name");
    EXPECT_EQ(Folder.Read(Longest), "long name");
    WriteFileAtomically(Folder.File(Longest), "long name again");
    EXPECT_EQ(Folder.Read(Longest), "long name again");
    WriteFileAtomically(Folder.File("f.xml"), "");
    EXPECT_EQ(Folder.Read("f.xml"), "");
    EXPECT_EQ(Folder.Listing(), "f.xml\nlink.xml\n" + Longest + "\nreal.xml\n") << "no temporary file is left";
}

// A save replaces only a regular file: a device node, a FIFO, a socket, a
// folder or a dangling link in its way is refused and stays as it was.
TEST(FileAccessTest, RefusesToReplaceWhatIsNotARegularFile) {
    TTempFolder Folder;
    if (geteuid() == 0) {
        // The null device's own node, made here so that no test can harm /dev.
        ASSERT_EQ(mknod(Folder.File("null").c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
    } else {
        fs::create_symlink("/dev/null", Folder.File("null"));
    }
    ASSERT_EQ(mkfifo(Folder.File("fifo").c_str(), 0666), 0);
    const int Socket = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un Address{};
    Address.sun_family = AF_UNIX;
    Folder.File("sock").copy(Address.sun_path, sizeof Address.sun_path - 1);
    ASSERT_EQ(bind(Socket, reinterpret_cast<const sockaddr*>(&Address), sizeof Address), 0);
    fs::create_symlink("nothing.xml", Folder.File("dangling"));
    fs::create_symlink("fifo", Folder.File("to-fifo"));
    fs::create_directory(Folder.File("dir"));
    Folder.Write("dir/inside", "keep");
    for (const char* Name : {"null", "fifo", "sock", "dangling", "to-fifo", "dir", "no/such/f.xml"}) {
        const std::string Message = WriteError(Folder.File(Name), "x");
        EXPECT_NE(Message.find(Folder.File(Name)), std::string::npos) << Message;
    }
    EXPECT_NE(WriteError(Folder.File("fifo"), "x").find("named pipe"), std::string::npos);
    EXPECT_NE(WriteError(Folder.File("dangling"), "x").find("symbolic link to nothing"), std::string::npos);
    close(Socket);
    EXPECT_TRUE(fs::is_character_file(Folder.File("null")));
    EXPECT_TRUE(fs::is_fifo(Folder.File("fifo")));
    EXPECT_TRUE(fs::is_socket(Folder.File("sock")));
    EXPECT_TRUE(fs::is_symlink(Folder.File("dangling")));
    EXPECT_FALSE(fs::exists(Folder.File("nothing.xml")));
    EXPECT_EQ(Folder.Read("dir/inside"), "keep");
    EXPECT_EQ(Folder.Listing(), "dangling\ndir\nfifo\nnull\nsock\nto-fifo\n");
}

// A killed save may leave a named temporary file where the file system has
// no unnamed ones; the next save removes it once its process is gone, and
// never the file of a save still running (its process lives, or it holds
// the file's lock, as a save on another machine does).
TEST(FileAccessTest, LaterSavesRemoveOnlyTheTemporaryFilesOfEndedSaves) {
    TTempFolder Folder;
    const pid_t Ended = test::StartChild([] { return 0; });
    ASSERT_EQ(test::WaitChild(Ended, std::chrono::seconds(10)), 0);
    int Hold[2];
    ASSERT_EQ(pipe(Hold), 0);
    const pid_t Running = test::StartChild([&] {
        close(Hold[1]);
        char C;
        return static_cast<int>(read(Hold[0], &C, 1));
    });
    const std::string Stale = ".psykrona-" + std::to_string(Ended) + "-0.tmp";
    const std::string Live = ".psykrona-" + std::to_string(Running) + "-0.tmp";
    const std::string Locked = ".psykrona-" + std::to_string(Ended) + "-1.tmp";
    for (const std::string& Name : {Stale, Live, Locked}) {
        Folder.Write(Name, "partial");
    }
    const int LockFd = open(Folder.File(Locked).c_str(), O_RDWR);
    struct flock Lock {};
    Lock.l_type = F_WRLCK;
    ASSERT_EQ(fcntl(LockFd, F_OFD_SETLK, &Lock), 0);
    WriteFileAtomically(Folder.File("p.pkx"), "saved");
    close(LockFd);
    close(Hold[1]);
    test::WaitChild(Running, std::chrono::seconds(10));
    close(Hold[0]);
    EXPECT_FALSE(fs::exists(Folder.File(Stale)));
    EXPECT_TRUE(fs::exists(Folder.File(Live)));
    EXPECT_TRUE(fs::exists(Folder.File(Locked)));
}

// A program directory the user may not change, holding a "Languages.xml" and
// language files the user may write.
void MakeLanguageFolder(const TTempFolder& Folder) {
    Folder.Write("English.lng", "[MESSAGES]\nMSG_FILE_NOT_SAVED=The file was not saved\n");
    Folder.Write("Swedish.lng", "[MESSAGES]\nMSG_FILE_NOT_SAVED=Filen sparades inte\n");
    Folder.Write("Languages.xml",
                 "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<list>\n<default><language>en</language></default>\n"
                 "<languages><language><code>en</code><name>English</name><file>English.lng</file></language>\n"
                 "<language><code>sv</code><name>Svenska</name><file>Swedish.lng</file></language>\n"
                 "</languages>\n</list>\n");
}

// Where the folder refuses new files but the file may be written, the save
// rewrites the file in place, for any file, a project and the language list
// alike; a write that fails halfway puts the old bytes back. Run as an
// ordinary user, for whom permissions count.
TEST(FileAccessTest, SavesInPlaceWhereOnlyTheFileIsWritable) {
    TTempFolder Folder;
    MakeLanguageFolder(Folder);
    Folder.Write("f.txt", std::string(300000, 'o'));
    Folder.Write("ro.txt", "read-only");
    {
        TMain Doc;
        TDomImplementation Dom;
        TXmlParser Parser;
        TMollierFileHandling Files(Dom, Parser);
        Files.FProject = &Doc;
        Files.SaveProjectAs(Folder.File("p.pkx"));
    }
    for (const auto& Entry : fs::directory_iterator(Folder.Path())) {
        fs::permissions(Entry.path(), fs::perms::all & ~fs::perms::owner_exec & ~fs::perms::group_exec &
                                          ~fs::perms::others_exec);
    }
    fs::permissions(Folder.File("ro.txt"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(Folder.Path(), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                       fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    const int Code = test::RunAsOrdinaryUser([&] {
        const std::string File = Folder.File("f.txt");
        const ino_t Before = Inode(File);
        WriteFileAtomically(File, "new");
        PSYKRONA_CHILD_CHECK(Folder.Read("f.txt") == "new");
        PSYKRONA_CHILD_CHECK(Inode(File) == Before);
        PSYKRONA_CHILD_CHECK(fs::status(File).permissions() == (fs::perms::all & ~fs::perms::owner_exec &
                                                                  ~fs::perms::group_exec & ~fs::perms::others_exec));

        // A write failing halfway: the old bytes come back.
        const std::string Long(200000, 'L');
        WriteFileAtomically(File, Long);
        static int Chunks = 0;
        SetSaveStepHook([](TSaveStep Step) {
            if (Step == TSaveStep::Chunk && ++Chunks == 2) {
                throw EXmlFileError("write failed", EIO);
            }
        });
        bool Failed = false;
        try {
            WriteFileAtomically(File, std::string(300000, 'N'));
        } catch (const EXmlFileError&) {
            Failed = true;
        }
        SetSaveStepHook(nullptr);
        PSYKRONA_CHILD_CHECK(Failed && Chunks == 2);
        PSYKRONA_CHILD_CHECK(Folder.Read("f.txt") == Long);

        TMain Doc;
        Doc.AddPoint().Name = "in place";
        TDomImplementation Dom;
        TXmlParser Parser;
        TMollierFileHandling Files(Dom, Parser);
        Files.FProject = &Doc;
        Files.SaveProjectAs(Folder.File("p.pkx"));
        TMain Back;
        Files.FProject = &Back;
        Files.OpenProject(Folder.File("p.pkx"));
        PSYKRONA_CHILD_CHECK(Back.PointCount() == 1 && Back.Points[0].Name == "in place");

        TXmlParser LanguageParser(Dom);
        TTranslator::CreateInstance(Dom, LanguageParser, Folder.Dir());
        TTranslator::SetLanguage(1);
        TTranslator::DestroyInstance();
        PSYKRONA_CHILD_CHECK(Folder.Read("Languages.xml").find("<default><language>sv</language></default>") !=
                             std::string::npos);

        // What the folder or the file refuses stays refused.
        PSYKRONA_CHILD_CHECK(WriteError(Folder.File("new.txt"), "x").find("Permission denied") != std::string::npos);
        PSYKRONA_CHILD_CHECK(WriteError(Folder.File("ro.txt"), "x").find("Permission denied") != std::string::npos);
        PSYKRONA_CHILD_CHECK(Folder.Read("ro.txt") == "read-only");
        return 0;
    });
    EXPECT_EQ(Code, 0);
    EXPECT_EQ(Folder.Listing(), "English.lng\nLanguages.xml\nSwedish.lng\nf.txt\np.pkx\nro.txt\n");
}

// The in-place path on a full disk: a small file system of its own in a
// private mount namespace, or, where that is not allowed, a file-size limit.
// The new size is reserved before the first byte is written, so the old file
// is still whole after the failure; a smaller file then saves.
TEST(FileAccessTest, AFullDiskLeavesTheOldFileInPlace) {
    TTempFolder Folder;
    fs::permissions(Folder.Path(), fs::perms::all);
    const std::string Disk = Folder.File("disk");
    fs::create_directory(Disk);
    const std::string Old(20000, 'o');
    const pid_t Pid = test::StartChild([&] {
        const bool Mounted = unshare(CLONE_NEWNS) == 0 && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                             mount("tmpfs", Disk.c_str(), "tmpfs", 0, "size=64k,mode=0777") == 0;
        if (!Mounted) {
            signal(SIGXFSZ, SIG_IGN);
            const rlimit Limit{65536, 65536};
            PSYKRONA_CHILD_CHECK(setrlimit(RLIMIT_FSIZE, &Limit) == 0);
        }
        const std::string File = Disk + "/p.pkx";
        FILE* Out = std::fopen(File.c_str(), "wb");
        PSYKRONA_CHILD_CHECK(Out != nullptr && std::fwrite(Old.data(), 1, Old.size(), Out) == Old.size());
        std::fclose(Out);
        PSYKRONA_CHILD_CHECK(chmod(File.c_str(), 0666) == 0 && chmod(Disk.c_str(), 0555) == 0);
        PSYKRONA_CHILD_CHECK(test::DropToOrdinaryUser());
        const std::string Message = WriteError(File, std::string(200000, 'n'));
        std::fprintf(stderr, "%s: %s\n", Mounted ? "small file system" : "file-size limit", Message.c_str());
        PSYKRONA_CHILD_CHECK(Message.find("Cannot write") != std::string::npos);
        PSYKRONA_CHILD_CHECK(ReadFileBytes(File) == Old);
        WriteFileAtomically(File, "small");
        PSYKRONA_CHILD_CHECK(ReadFileBytes(File) == "small");
        return 0;
    });
    EXPECT_EQ(test::WaitChild(Pid, std::chrono::minutes(1)), 0);
}

TEST(FileAccessTest, DocumentsWriteTheirBytesToFiles) {
    TTempFolder Folder;
    TXmlDocument Doc("r");
    Doc.DocumentElement()->AppendChild(Doc.CreateTextNode("a\nb"));
    Doc.WriteToFile(Folder.File("d.xml"));
    EXPECT_EQ(Folder.Read("d.xml"), Doc.WriteToString());
}

} // namespace
} // namespace psykrona
