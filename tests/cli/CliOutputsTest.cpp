// Every file psykrona-cli writes against what may go wrong with it: a full
// file system, a folder that takes no new file, the input itself or an
// existing project as the output, a name of 255 bytes, a named pipe or a
// link to nothing. An output is complete or absent, a failure says so with
// its exit code and the system's reason, and what was there stays.
#include "engine/Main.h"
#include "engine/MollierCalculate.h"
#include "files/MollierFileHandling.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <map>

namespace psykrona {
namespace {

namespace fs = std::filesystem;
using TFiles = std::map<std::string, std::string>;

// A project of some kilobytes.
std::string ProjectXml(int Points) {
    TMain Doc;
    for (int I = 0; I < Points; ++I) {
        TMollierPoint& P = Doc.AddPoint();
        P.Number = I + 1;
        P.Name = "Point " + std::to_string(I + 1);
        P.Temp = 10 + I % 20;
        P.SpecHum = 0.004 + 0.0002 * (I % 25);
        P.Prescribed1 = PROP_TEMP;
        P.Prescribed2 = PROP_SPECHUM;
    }
    Doc.CalculateAll();
    return TMollierFileHandling::ProjectToXml(Doc);
}

enum class TCase { FullDisk, ReadOnlyFolder, InputItself, ExistingProject, LongName, NamedPipe, LinkToNothing };
const char* const KCaseNames[] = {"FullDisk", "ReadOnlyFolder", "InputItself", "ExistingProject",
                                  "LongName", "NamedPipe",      "LinkToNothing"};

struct TOutcome {
    int Exit = -1;
    std::string Out, Err;
    std::string Mode;  // how the folder was made full or read-only
    TFiles After;      // the folder's entries after the run
};

// Runs the tool in a child that first sets up the folder "out" (files,
// links to targets, named pipes; a full or read-only file system when
// asked), then records what the folder holds.
TOutcome RunIn(const test::TTempFolder& Dir, const std::vector<std::string>& Args, const TFiles& Files,
               const TFiles& Links, const std::string& Pipe, TCase Case) {
    const std::string Out = Dir.File("out");
    fs::create_directory(Out);
    const pid_t Pid = test::StartChild([&] {
        std::string Mode = "plain";
        if (Case == TCase::FullDisk || Case == TCase::ReadOnlyFolder) {
            // A small file system in a mount namespace of our own; where
            // mounting is not allowed, a file size limit or the folder's mode.
            const bool Mounted = unshare(CLONE_NEWNS) == 0 &&
                                 mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                                 mount("tmpfs", Out.c_str(), "tmpfs", 0, "size=512k") == 0;
            Mode = Mounted ? "tmpfs" : Case == TCase::FullDisk ? "fsize" : "mode";
        }
        for (const auto& [Name, Bytes] : Files) {
            test::WriteFile(Out + "/" + Name, Bytes);
        }
        for (const auto& [Name, Target] : Links) {
            fs::create_symlink(Target, Out + "/" + Name);
        }
        if (!Pipe.empty()) {
            mkfifo((Out + "/" + Pipe).c_str(), 0600);
        }
        if (Case == TCase::FullDisk && Mode == "tmpfs") {
            const int Fd = open((Out + "/.filler").c_str(), O_WRONLY | O_CREAT, 0600);
            const std::string Block(4096, 'f');
            while (write(Fd, Block.data(), Block.size()) > 0) {
            }
            close(Fd);
        }
        if (Case == TCase::ReadOnlyFolder) {
            const bool Done = Mode == "tmpfs" ? mount(nullptr, Out.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0
                                              : chmod(Out.c_str(), 0555) == 0;
            Mode += Done ? "" : " (not made read-only)";
        }
        test::WriteFile(Dir.File("mode"), Mode);
        const pid_t Tool = test::StartChild([&] {
            dup2(open(Dir.File("stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
            dup2(open(Dir.File("stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
            if (Mode == "fsize") {
                const struct rlimit Limit {4096, RLIM_INFINITY};
                signal(SIGXFSZ, SIG_IGN);
                setrlimit(RLIMIT_FSIZE, &Limit);
            }
            const std::string Program = test::CliPath();
            std::vector<char*> Argv{const_cast<char*>(Program.c_str())};
            for (const std::string& A : Args) {
                Argv.push_back(const_cast<char*>(A.c_str()));
            }
            Argv.push_back(nullptr);
            execv(Program.c_str(), Argv.data());
            return 127;
        });
        const int Code = test::WaitChild(Tool, std::chrono::minutes(2));
        fs::create_directory(Dir.File("after"));
        for (const auto& E : fs::directory_iterator(Out)) {
            const std::string Name = E.path().filename();
            // What is not a file's content is noted by its kind, never read.
            const std::string Kind = fs::is_fifo(E.path()) ? "<named pipe>"
                                     : fs::is_symlink(E.symlink_status()) && !fs::exists(E.path())
                                         ? "<link to nothing>"
                                         : test::ReadFile(E.path());
            if (Name != ".filler") {
                test::WriteFile(Dir.File("after/" + Name), Kind);
            }
        }
        return Code;
    });
    TOutcome R;
    R.Exit = test::WaitChild(Pid, std::chrono::minutes(3));
    R.Out = Dir.Read("stdout");
    R.Err = Dir.Read("stderr");
    R.Mode = Dir.Read("mode");
    for (const auto& E : fs::directory_iterator(Dir.File("after"))) {
        R.After[E.path().filename()] = test::ReadFile(E.path());
    }
    fs::permissions(Out, fs::perms::owner_all);
    fs::remove_all(Out);
    fs::remove_all(Dir.File("after"));
    return R;
}

struct TWriter {
    const char* Command;
    const char* Ext;
    std::string Magic;
    bool AnyName; // takes any output name, not only its own ending
};

const TWriter Writers[] = {
#ifdef PSYKRONA_CLI_WITH_QT
    {"picture", ".bmp", "BM", true},   {"picture", ".jpg", "\xFF\xD8\xFF", true},
    {"picture", ".png", "\x89PNG", true}, {"picture", ".svg", "<?xml", true},
    {"chart", ".png", "\x89PNG", false},  {"chart", ".svg", "<?xml", false},
    {"print", ".pdf", "%PDF-", false},
#endif
    {"convert", ".pkx", "<?xml", false},
};

void PrintTo(const TWriter& W, std::ostream* Os) { *Os << W.Command << " " << W.Ext; }

class CliOutputs : public testing::TestWithParam<std::tuple<TWriter, TCase>> {};

TEST_P(CliOutputs, AreCompleteOrAbsentAndNeverReplaceWhatTheyMustNot) {
    const auto& [W, Case] = GetParam();
    const std::string Ext = W.Ext;
    const bool Convert = std::string(W.Command) == "convert";
    test::TTempFolder Dir;
    const std::string Project = ProjectXml(40);
    Dir.Write("input.pkx", Project);
    const std::string Input = Dir.File("input.pkx");
    auto In = [&](const std::string& Name) { return Dir.File("out/" + Name); };
    auto Has = [](const std::string& Text, const std::string& Part) { return Text.find(Part) != std::string::npos; };
    TOutcome R;
    switch (Case) {
    case TCase::FullDisk:
    case TCase::ReadOnlyFolder: {
        // The old file stays and no other appears.
        R = RunIn(Dir, {W.Command, Input, In("old" + Ext)}, {{"old" + Ext, "old content"}}, {}, "", Case);
        SCOPED_TRACE("the folder made so by " + R.Mode);
        const int Reason = R.Mode == "tmpfs" ? (Case == TCase::FullDisk ? ENOSPC : EROFS)
                                             : (Case == TCase::FullDisk ? EFBIG : EACCES);
        EXPECT_EQ(R.Exit, 1) << R.Err;
        EXPECT_TRUE(Has(R.Err, std::strerror(Reason))) << R.Err;
        EXPECT_TRUE(R.After == (TFiles{{"old" + Ext, "old content"}})) << R.After.size() << " entries";
        break;
    }
    case TCase::InputItself:
        // The project read, under another name through a link.
        R = RunIn(Dir, {W.Command, In("in" + Ext), In("alias" + Ext)}, {{"in" + Ext, Project}},
                  {{"alias" + Ext, "in" + Ext}}, "", Case);
        EXPECT_EQ(R.Exit, 2) << R.Err;
        EXPECT_TRUE(Has(R.Err, "is the same file as")) << R.Err;
        EXPECT_TRUE(R.After["in" + Ext] == Project) << "the input was replaced";
        break;
    case TCase::ExistingProject: {
        // Named as it is where the command takes any name, else a link to it.
        const std::string Other = ProjectXml(1);
        const std::string Out = W.AnyName ? "other.Pkx" : "out" + Ext;
        R = RunIn(Dir, {W.Command, Input, In(Out)}, {{"other.Pkx", Other}},
                  W.AnyName ? TFiles{} : TFiles{{Out, "other.Pkx"}}, "", Case);
        EXPECT_EQ(R.Exit, Convert ? 0 : 2) << R.Err;
        EXPECT_TRUE(Convert || Has(R.Err, "is an existing project file")) << R.Err;
        EXPECT_TRUE(R.After["other.Pkx"] == (Convert ? Project : Other)) << "converted wrongly or replaced";
        break;
    }
    case TCase::LongName: {
        // The longest name the system allows, and no temporary file beside it.
        const std::string Name = std::string(255 - Ext.size(), 'n') + Ext;
        R = RunIn(Dir, {W.Command, Input, In(Name)}, {}, {}, "", Case);
        EXPECT_EQ(R.Exit, 0) << R.Err;
        ASSERT_EQ(R.After.size(), 1u);
        EXPECT_TRUE(R.After[Name].starts_with(W.Magic));
        break;
    }
    case TCase::NamedPipe:
    case TCase::LinkToNothing: {
        // Refused: nothing waits on the pipe, and neither it nor the link
        // becomes a file.
        const bool Pipe = Case == TCase::NamedPipe;
        const std::string Out = "out" + Ext;
        R = RunIn(Dir, {W.Command, Input, In(Out)}, {}, Pipe ? TFiles{} : TFiles{{Out, "missing" + Ext}},
                  Pipe ? Out : "", Case);
        EXPECT_NE(R.Exit, 0) << R.Err;
        EXPECT_TRUE(Has(R.Err, Pipe ? "named pipe" : "symbolic link to nothing")) << R.Err;
        EXPECT_TRUE(R.After == (TFiles{{Out, Pipe ? "<named pipe>" : "<link to nothing>"}})) << R.After.size();
        break;
    }
    }
    EXPECT_EQ(R.Out, "");
}

std::string CaseName(const testing::TestParamInfo<CliOutputs::ParamType>& Info) {
    const auto& [W, Case] = Info.param;
    return std::string(W.Command) + "_" + (W.Ext + 1) + "_" + KCaseNames[static_cast<int>(Case)];
}

INSTANTIATE_TEST_SUITE_P(EveryFileWriter, CliOutputs,
                         testing::Combine(testing::ValuesIn(Writers),
                                          testing::Values(TCase::FullDisk, TCase::ReadOnlyFolder, TCase::InputItself,
                                                          TCase::ExistingProject, TCase::LongName,
                                                          TCase::NamedPipe, TCase::LinkToNothing)),
                         CaseName);

} // namespace
} // namespace psykrona
