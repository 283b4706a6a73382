// Every file psykrona-cli writes against what may go wrong with it: each is
// complete or absent, a failure says so with its exit code and the system's
// reason, and what was there stays.
#include "tests/support/ChildProcess.h"
#include "tests/support/RandomProject.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <map>

namespace psykrona {
namespace {

namespace fs = std::filesystem;
using TFiles = std::map<std::string, std::string>;

using TCase = std::string; // FullDisk, ReadOnlyFolder, InputItself, ExistingProject, LongName, NamedPipe, LinkToNothing

// What the folder "out" holds before the run (files, links to names, a named pipe) and what the run left.
struct TRun {
    TFiles Files, Links;
    std::string Pipe;
    test::TProcessResult Result;
    std::string Mode; // how the folder was made full or read-only
    TFiles After;     // each entry's bytes, or its kind where it has none
};

// Runs the tool in a child that sets up "out" first: on a small file system
// of its own mount namespace when the case asks for a full or read-only one,
// or else by a file-size limit or the folder's mode.
void RunIn(const test::TTempFolder& Dir, const std::vector<std::string>& Args, const TCase& Case, TRun& Run) {
    const std::string Out = Dir.File("out");
    fs::create_directory(Out);
    fs::create_directory(Dir.File("after"));
    const pid_t Pid = test::StartChild([&] {
        std::string Mode = "plain";
        if (Case == "FullDisk" || Case == "ReadOnlyFolder") {
            const bool Mounted = unshare(CLONE_NEWNS) == 0 &&
                                 mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                                 mount("tmpfs", Out.c_str(), "tmpfs", 0, "size=512k") == 0;
            Mode = Mounted ? "tmpfs" : Case == "FullDisk" ? "fsize" : "mode";
        }
        for (const auto& [Name, Bytes] : Run.Files) {
            test::WriteFile(Out + "/" + Name, Bytes);
        }
        for (const auto& [Name, Target] : Run.Links) {
            fs::create_symlink(Target, Out + "/" + Name);
        }
        if (!Run.Pipe.empty()) {
            mkfifo((Out + "/" + Run.Pipe).c_str(), 0600);
        }
        if (Case == "FullDisk" && Mode == "tmpfs") {
            const int Fd = open((Out + "/.filler").c_str(), O_WRONLY | O_CREAT, 0600);
            while (write(Fd, Out.data(), Out.size()) > 0) {
            }
            close(Fd);
        }
        if (Case == "ReadOnlyFolder" &&
            (Mode == "tmpfs" ? mount(nullptr, Out.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr)
                             : chmod(Out.c_str(), 0555)) != 0) {
            Mode += " (not made read-only)";
        }
        struct rlimit Limit {Mode == "fsize" ? 4096 : RLIM_INFINITY, RLIM_INFINITY};
        signal(SIGXFSZ, SIG_IGN); // kept by the tool, so a write past the limit fails as on a full disk
        setrlimit(RLIMIT_FSIZE, &Limit);
        const test::TProcessResult R = test::RunProcess(test::CliPath(), Args);
        Limit.rlim_cur = RLIM_INFINITY;
        setrlimit(RLIMIT_FSIZE, &Limit);
        std::error_code NoFiller;
        fs::remove(Out + "/.filler", NoFiller);
        for (const auto& E : fs::directory_iterator(Out)) { // a pipe or a dangling link noted by its kind, never read
            test::WriteFile(Dir.File("after/" + E.path().filename().string()),
                            fs::is_fifo(E.path()) ? "<named pipe>" : !fs::exists(E.path()) ? "<link to nothing>" : test::ReadFile(E.path()));
        }
        test::WriteFile(Dir.File("stdout"), R.Out);
        test::WriteFile(Dir.File("stderr"), R.Err);
        test::WriteFile(Dir.File("mode"), Mode);
        return R.ExitCode;
    });
    Run.Result = {test::WaitChild(Pid, std::chrono::minutes(3)), Dir.Read("stdout"), Dir.Read("stderr")};
    Run.Mode = Dir.Read("mode");
    for (const auto& E : fs::directory_iterator(Dir.File("after"))) {
        Run.After[E.path().filename()] = test::ReadFile(E.path());
    }
}

struct TWriter {
    const char* Command;
    const char* Ext;
    std::string Magic;
    bool AnyName; // takes any output name, not only its own ending
};

const TWriter Writers[] = {
#ifdef PSYKRONA_CLI_WITH_QT
    {"picture", ".bmp", "BM", true},      {"picture", ".jpg", "\xFF\xD8\xFF", true},
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
    const std::string Ext = W.Ext, Project = test::RandomProjectXml(40, 1), Other = test::RandomProjectXml(1, 2);
    const bool Convert = std::string(W.Command) == "convert";
    test::TTempFolder Dir;
    Dir.Write("input.pkx", Project);
    std::string Input = Dir.File("input.pkx"), Output = "out" + Ext, Message;
    int Exit = 1;
    TRun Run;
    TFiles After;
    if (Case == "FullDisk" || Case == "ReadOnlyFolder") { // the old file stays and no other appears
        Run.Files = After = {{Output, "old content"}};
    } else if (Case == "InputItself") { // the project read, under another name through a link
        Run.Files = {{"in" + Ext, Project}};
        Run.Links = {{Output, "in" + Ext}};
        After = {{"in" + Ext, Project}, {Output, Project}};
        Input = Dir.File("out/in" + Ext);
        std::tie(Exit, Message) = std::pair{2, "is the same file as"};
    } else if (Case == "ExistingProject") { // named as it is where any name goes, else a link to it
        Run.Files = {{"other.Pkx", Other}};
        Output = W.AnyName ? "other.Pkx" : Output;
        Run.Links = W.AnyName ? TFiles{} : TFiles{{Output, "other.Pkx"}};
        After = {{"other.Pkx", Convert ? Project : Other}, {Output, Convert ? Project : Other}};
        std::tie(Exit, Message) = Convert ? std::pair{0, ""} : std::pair{2, "is an existing project file"};
    } else if (Case == "LongName") { // the longest name allowed, and no temporary file beside it
        Output = std::string(255 - Ext.size(), 'n') + Ext;
        After = {{Output, W.Magic}};
        Exit = 0;
    } else if (Case == "NamedPipe") { // refused: nothing waits on the pipe, and it stays
        Run.Pipe = Output;
        After = {{Output, "<named pipe>"}};
        Message = "named pipe";
    } else if (Case == "LinkToNothing") {
        Run.Links = {{Output, "missing" + Ext}};
        After = {{Output, "<link to nothing>"}};
        Message = "symbolic link to nothing";
    }
    RunIn(Dir, {W.Command, Input, Dir.File("out/" + Output)}, Case, Run);
    if (Case == "FullDisk" || Case == "ReadOnlyFolder") {
        SCOPED_TRACE("the folder made so by " + Run.Mode);
        Message = std::strerror(Run.Mode == "tmpfs" ? (Case == "FullDisk" ? ENOSPC : EROFS)
                                                    : (Case == "FullDisk" ? EFBIG : EACCES));
    }
    const test::TProcessResult& R = Run.Result;
    EXPECT_EQ(R.ExitCode, Exit) << R.Err;
    EXPECT_NE(R.Err.find(Message), std::string::npos) << Message << " in " << R.Err;
    EXPECT_EQ(R.Out, "");
    EXPECT_EQ(R.Err.empty(), Exit == 0) << R.Err;
    ASSERT_EQ(Run.After.size(), After.size());
    for (const auto& [Name, Bytes] : After) {
        EXPECT_TRUE(Run.After[Name].substr(0, Case == "LongName" ? Bytes.size() : std::string::npos) == Bytes)
            << Name.substr(0, 40) << " holds " << Run.After[Name].size() << " other bytes";
    }
}

std::string CaseName(const testing::TestParamInfo<CliOutputs::ParamType>& Info) {
    const auto& [W, Case] = Info.param;
    return std::string(W.Command) + "_" + (W.Ext + 1) + "_" + Case;
}

INSTANTIATE_TEST_SUITE_P(EveryFileWriter, CliOutputs,
                         testing::Combine(testing::ValuesIn(Writers),
                                          testing::Values("FullDisk", "ReadOnlyFolder", "InputItself", "ExistingProject",
                                                          "LongName", "NamedPipe", "LinkToNothing")),
                         CaseName);

} // namespace
} // namespace psykrona
