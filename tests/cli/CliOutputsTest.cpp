// Every output of psykrona-cli against what may go wrong with it: a full file
// system, standard output on /dev/full, the input itself or an existing
// project as the output, a name of 255 bytes, a named pipe or a link to
// nothing; and what the tool shows of names and values it did not make. An
// output is complete or absent, a failure says so with its exit code and the
// system's reason, and what was there before stays as it was.
#include "engine/Main.h"
#include "engine/MollierCalculate.h"
#include "engine/NumberText.h"
#include "files/MollierFileHandling.h"
#include "tests/files/FileTestSupport.h"
#include "tests/support/ChildProcess.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

namespace psykrona {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TTempDir;
using test::WriteBytes;

// A project of some points, so that every output is some kilobytes.
std::string ProjectXml(int Points) {
    SetDecimalSeparator('.');
    TMain Doc;
    for (int I = 0; I < Points; ++I) {
        TMollierPoint& P = Doc.AddPoint();
        P.Number = I + 1;
        P.Name = "Point " + std::to_string(I + 1);
        P.Temp = 10 + I % 20;
        P.SpecHum = 0.004 + 0.0002 * (I % 25);
        P.Prescribed1 = PROP_TEMP;
        P.Prescribed2 = PROP_SPECHUM;
        P.LineToNext = true;
    }
    Doc.CalculateAll();
    return TMollierFileHandling::ProjectToXml(Doc);
}

// The tool copied into a folder with the files it looks up beside itself
// (the printed pages need the logo and the language files).
const std::string& Cli() {
    static const TTempDir Dir;
    static const std::string Path = [] {
        const std::string Cli = Dir / "psykrona-cli";
        test::CopyCliTo(fs::path(Cli).parent_path());
        for (const char* Name : {"Languages.xml", "English.lng", "Swedish.lng", "Hungarian.lng", "QRLOGO.jpg"}) {
            fs::copy_file(std::string(PSYKRONA_SOURCE_DIR) + "/data/" + Name, Dir / Name);
        }
        return Cli;
    }();
    return Path;
}

// A run of the tool on a folder of files set up for it.
struct TSetup {
    std::map<std::string, std::string> Files; // name in the folder, content
    std::map<std::string, std::string> Links; // name in the folder, target
    std::vector<std::string> Pipes;            // named pipes in the folder
    bool FullDisk = false;
    std::string Stdout; // where standard output goes; a file of its own if empty
};

struct TOutcome {
    int Exit = -1;
    std::string Out, Err;
    // How the disk was made full: "tmpfs" (a small file system in a mount
    // namespace of its own) or "fsize" (a file size limit, where mounting is
    // not allowed).
    std::string Mode;
    std::map<std::string, std::string> After; // the folder's files after the run, read through links
};

class TScratch {
public:
    TScratch() { fs::create_directory(Folder()); }
    std::string Folder() const { return Dir / "out"; }
    std::string In(const std::string& Name) const { return Folder() + "/" + Name; }
    std::string Outside(const std::string& Name) const { return Dir / Name; }

    TOutcome Run(const std::vector<std::string>& Args, const TSetup& Setup) const {
        const std::string& Program = Cli(); // made here, never in a child
        const pid_t Pid = fork();
        if (Pid == 0) {
            // Nothing may leave the child for the test runner's code.
            try {
                _exit(Child(Program, Args, Setup));
            } catch (...) {
                _exit(125);
            }
        }
        int Status = 0;
        waitpid(Pid, &Status, 0);
        TOutcome R;
        R.Exit = WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
        R.Out = ReadBytes(Outside("stdout"));
        R.Err = ReadBytes(Outside("stderr"));
        R.Mode = ReadBytes(Outside("mode"));
        if (fs::exists(Outside("after"))) {
            for (const auto& E : fs::directory_iterator(Outside("after"))) {
                R.After[E.path().filename()] = ReadBytes(E.path());
            }
        }
        fs::remove_all(Outside("after"));
        for (const auto& E : fs::directory_iterator(Folder())) {
            fs::remove(E.path());
        }
        return R;
    }

private:
    // In the child: the folder made ready (a full file system when asked),
    // the tool run, and what the folder then holds copied outside it.
    int Child(const std::string& Program, const std::vector<std::string>& Args, const TSetup& Setup) const {
        std::string Mode = "plain";
        if (Setup.FullDisk) {
            const bool Mounted = unshare(CLONE_NEWNS) == 0 &&
                                 mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                                 mount("tmpfs", Folder().c_str(), "tmpfs", 0, "size=512k") == 0;
            Mode = Mounted ? "tmpfs" : "fsize";
        }
        WriteBytes(Outside("mode"), Mode);
        for (const auto& [Name, Bytes] : Setup.Files) {
            WriteBytes(In(Name), Bytes);
        }
        for (const auto& [Name, Target] : Setup.Links) {
            fs::create_symlink(Target, In(Name));
        }
        for (const std::string& Name : Setup.Pipes) {
            mkfifo(In(Name).c_str(), 0600);
        }
        if (Mode == "tmpfs") {
            const int Fd = open(In(".filler").c_str(), O_WRONLY | O_CREAT, 0600);
            const std::string Block(4096, 'f');
            while (write(Fd, Block.data(), Block.size()) > 0) {
            }
            close(Fd);
        }
        const pid_t Pid = fork();
        if (Pid == 0) {
            const std::string OutName = Setup.Stdout.empty() ? Outside("stdout") : Setup.Stdout;
            const int Out = open(OutName.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            const int Err = open(Outside("stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            dup2(Out, 1);
            dup2(Err, 2);
            if (Mode == "fsize") {
                const struct rlimit Limit {4096, RLIM_INFINITY};
                signal(SIGXFSZ, SIG_IGN);
                setrlimit(RLIMIT_FSIZE, &Limit);
            }
            std::vector<char*> Argv{const_cast<char*>(Program.c_str())};
            for (const std::string& A : Args) {
                Argv.push_back(const_cast<char*>(A.c_str()));
            }
            Argv.push_back(nullptr);
            putenv(const_cast<char*>("LC_ALL=C"));
            execv(Program.c_str(), Argv.data());
            _exit(127);
        }
        int Status = 0;
        waitpid(Pid, &Status, 0);
        fs::create_directory(Outside("after"));
        for (const auto& E : fs::directory_iterator(Folder())) {
            const std::string Name = E.path().filename();
            // What is not a file's content is noted by its kind, never read.
            if (fs::is_fifo(E.path())) {
                WriteBytes(Outside("after/" + Name), "<named pipe>");
            } else if (fs::is_symlink(E.symlink_status()) && !fs::exists(E.path())) {
                WriteBytes(Outside("after/" + Name), "<link to nothing>");
            } else if (Name != ".filler") {
                WriteBytes(Outside("after/" + Name), ReadBytes(E.path()));
            }
        }
        return WIFEXITED(Status) ? WEXITSTATUS(Status) : 255;
    }

    TTempDir Dir;
};

struct TWriter {
    const char* Command;
    const char* Ext;
    std::string Magic;
    bool WritesProjects;
    bool AnyName; // takes any output name, not only its own ending
};

const TWriter Writers[] = {
#ifdef PSYKRONA_CLI_WITH_QT
    {"picture", ".bmp", "BM", false, true},
    {"picture", ".jpg", "\xFF\xD8\xFF", false, true},
    {"picture", ".png", "\x89PNG", false, true},
    {"picture", ".svg", "<?xml", false, true},
    {"chart", ".png", "\x89PNG", false, false},
    {"chart", ".svg", "<?xml", false, false},
    {"print", ".pdf", "%PDF-", false, false},
#endif
    {"convert", ".pkx", "<?xml", true, false},
};

enum class TCase { FullDisk, InputItself, ExistingProject, LongName, NamedPipe, LinkToNothing };

void PrintTo(const TWriter& W, std::ostream* Os) {
    *Os << W.Command << " " << W.Ext;
}

class CliOutputs : public testing::TestWithParam<std::tuple<TWriter, TCase>> {
protected:
    TScratch Scratch;
};

bool Has(const std::string& Text, const std::string& Part) {
    return Text.find(Part) != std::string::npos;
}

TEST_P(CliOutputs, AreCompleteOrAbsentAndNeverReplaceWhatTheyMustNot) {
    const auto& [W, Case] = GetParam();
    const std::string Ext = W.Ext;
    const std::string Project = ProjectXml(40);
    const std::string Input = Scratch.Outside("input.pkx");
    WriteBytes(Input, Project);
    TSetup Setup;
    TOutcome R;
    switch (Case) {
    case TCase::FullDisk: {
        Setup.FullDisk = true;
        Setup.Files["old" + Ext] = "old content";
        R = Scratch.Run({W.Command, Input, Scratch.In("old" + Ext)}, Setup);
        SCOPED_TRACE("the disk made full by " + R.Mode);
        EXPECT_EQ(R.Exit, 1) << R.Err;
        EXPECT_TRUE(Has(R.Err, std::strerror(R.Mode == "tmpfs" ? ENOSPC : EFBIG))) << R.Err;
        EXPECT_TRUE(R.After == (std::map<std::string, std::string>{{"old" + Ext, "old content"}}))
            << R.After.size() << " files, the old one " << (R.After["old" + Ext] == "old content" ? "kept" : "lost");
        break;
    }
    case TCase::InputItself:
        // The project read, under another name through a link.
        Setup.Files["in" + Ext] = Project;
        Setup.Links["alias" + Ext] = "in" + Ext;
        R = Scratch.Run({W.Command, Scratch.In("in" + Ext), Scratch.In("alias" + Ext)}, Setup);
        EXPECT_EQ(R.Exit, 2) << R.Err;
        EXPECT_TRUE(Has(R.Err, "is the same file as")) << R.Err;
        EXPECT_TRUE(R.After["in" + Ext] == Project) << "the input was replaced";
        break;
    case TCase::ExistingProject: {
        // Named as it is where the command takes any name, else a link to it.
        const std::string Other = ProjectXml(1);
        Setup.Files["other.Pkx"] = Other;
        std::string Out = "other.Pkx";
        if (!W.AnyName) {
            Out = "out" + Ext;
            Setup.Links[Out] = "other.Pkx";
        }
        R = Scratch.Run({W.Command, Input, Scratch.In(Out)}, Setup);
        if (W.WritesProjects) {
            EXPECT_EQ(R.Exit, 0) << R.Err;
            EXPECT_TRUE(R.After["other.Pkx"] == Project) << "not converted";
        } else {
            EXPECT_EQ(R.Exit, 2) << R.Err;
            EXPECT_TRUE(Has(R.Err, "is an existing project file")) << R.Err;
            EXPECT_TRUE(R.After["other.Pkx"] == Other) << "the project was replaced";
        }
        break;
    }
    case TCase::LongName: {
        const std::string Name = std::string(255 - Ext.size(), 'n') + Ext;
        R = Scratch.Run({W.Command, Input, Scratch.In(Name)}, Setup);
        // The longest name the system allows, and no temporary file beside it.
        EXPECT_EQ(R.Exit, 0) << R.Err;
        ASSERT_EQ(R.After.size(), 1u);
        EXPECT_TRUE(R.After[Name].substr(0, W.Magic.size()) == W.Magic);
        break;
    }
    case TCase::NamedPipe:
    case TCase::LinkToNothing: {
        // Refused: nothing waits on the pipe, and neither it nor the link
        // becomes a file.
        const bool Pipe = Case == TCase::NamedPipe;
        const std::string Out = "out" + Ext;
        if (Pipe) {
            Setup.Pipes.push_back(Out);
        } else {
            Setup.Links[Out] = "missing" + Ext;
        }
        R = Scratch.Run({W.Command, Input, Scratch.In(Out)}, Setup);
        EXPECT_NE(R.Exit, 0) << R.Err;
        EXPECT_TRUE(Has(R.Err, Pipe ? "named pipe" : "symbolic link to nothing")) << R.Err;
        EXPECT_TRUE(R.After == (std::map<std::string, std::string>{
                                   {Out, Pipe ? "<named pipe>" : "<link to nothing>"}}))
            << R.After.size() << " entries";
        break;
    }
    }
    EXPECT_EQ(R.Out, "");
}

std::string CaseName(const testing::TestParamInfo<CliOutputs::ParamType>& Info) {
    const auto& [W, Case] = Info.param;
    const char* Names[] = {"FullDisk", "InputItself", "ExistingProject", "LongName", "NamedPipe", "LinkToNothing"};
    return std::string(W.Command) + "_" + (W.Ext + 1) + "_" + Names[static_cast<int>(Case)];
}

INSTANTIATE_TEST_SUITE_P(EveryFileWriter, CliOutputs,
                         testing::Combine(testing::ValuesIn(Writers),
                                          testing::Values(TCase::FullDisk, TCase::InputItself,
                                                          TCase::ExistingProject, TCase::LongName,
                                                          TCase::NamedPipe, TCase::LinkToNothing)),
                         CaseName);

// Standard output that cannot take the result is a failure with the reason.
TEST(CliStandardOutput, AFullOutputIsAFailure) {
    TScratch Scratch;
    const std::string Input = Scratch.Outside("input.pkx");
    WriteBytes(Input, ProjectXml(40));
    const std::vector<std::string> Commands[] = {
        {"table", Input},
        {"table", Input, "--format", "csv"},
        {"table", Input, "--format", "json"},
        {"state", "--temp", "20", "--relhum", "50"},
        {"state", "--temp", "20", "--relhum", "50", "--json"},
        {"--help"},
        {"--version"},
    };
    for (const auto& Args : Commands) {
        TSetup Setup;
        Setup.Stdout = "/dev/full";
        const TOutcome R = Scratch.Run(Args, Setup);
        EXPECT_EQ(R.Exit, 1) << Args[0] << " " << Args.back();
        EXPECT_TRUE(Has(R.Err, "cannot write standard output: " + std::string(std::strerror(ENOSPC)))) << R.Err;
    }
}

// Names from files keep their bytes in the document; what the tool shows of
// them, and of the values typed on its command line, cannot act on a
// terminal or a spreadsheet.
TEST(CliShownText, NamesAndValuesAreShownSafely) {
    TScratch Scratch;
    const std::vector<std::string> Names = {"\x1b]0;owned\x07\x1b[2J", "=SUM(A1:A9)", "+1", "-2", "@cmd",
                                            "Tab\there", "Outdoor, \"fresh\"", "Zuluft \xc2\x9b" "31m"};
    // The older format keeps any byte but a line break in a name.
    std::string Pkr = std::to_string(Names.size()) + "\r\n2\r\n20\r\n101.3\r\n1.2\r\n";
    for (std::size_t I = 0; I < Names.size(); ++I) {
        Pkr += std::to_string(I + 1) + "\r\n" + Names[I] + "\r\n20\r\n0.0072585\r\n50\r\n38.518\r\n1\r\n3\r\n1\r\n0\r\n";
    }
    const std::string Input = Scratch.Outside("names.pkr");
    WriteBytes(Input, Pkr);
    auto Run = [&](const std::vector<std::string>& Args) { return Scratch.Run(Args, {}); };

    const TOutcome Text = Run({"table", Input});
    ASSERT_EQ(Text.Exit, 0) << Text.Err;
    EXPECT_TRUE(Has(Text.Out, "\\x1b]0;owned\\x07\\x1b[2J")) << Text.Out;
    EXPECT_TRUE(Has(Text.Out, "Tab\\x09here"));
    EXPECT_TRUE(Has(Text.Out, "\\xc2\\x9b31m"));
    EXPECT_EQ(Text.Out.find_first_of("\x1b\x07\t"), std::string::npos);

    const TOutcome Csv = Run({"table", Input, "--format", "csv"});
    ASSERT_EQ(Csv.Exit, 0) << Csv.Err;
    for (const char* Cell : {",\\x1b]0;owned\\x07\\x1b[2J,", ",\"'=SUM(A1:A9)\",", ",\"'+1\",", ",\"'-2\",",
                             ",\"'@cmd\",", ",Tab\there,", ",\"Outdoor, \"\"fresh\"\"\","}) {
        EXPECT_TRUE(Has(Csv.Out, Cell)) << Cell << "\n" << Csv.Out;
    }
    const TOutcome Json = Run({"table", Input, "--format", "json"});
    EXPECT_TRUE(Has(Json.Out, "\"name\":\"=SUM(A1:A9)\"")) << "JSON keeps the name as it is";
    EXPECT_TRUE(Has(Json.Out, "\"name\":\"\\u001b]0;owned\\u0007\\u001b[2J\"")) << Json.Out;

    // Error output: a file name and values from the command line.
    const std::string Absent = Scratch.Outside("gone\x1b[2J.pkx");
    const TOutcome Missing = Run({"table", Absent});
    EXPECT_EQ(Missing.Exit, 1);
    EXPECT_TRUE(Has(Missing.Err, "gone\\x1b[2J.pkx")) << Missing.Err;
    const std::string Long(100000, '7');
    for (const std::vector<std::string>& Args :
         {std::vector<std::string>{"state", "--temp", Long + "x", "--relhum", "50"},
          {"state", "--temp", "20", "--relhum", "50", "--" + Long}, {"table", Input, "--format", Long},
          {"print", Input, Long + ".pd"}}) {
        const TOutcome R = Run(Args);
        EXPECT_EQ(R.Exit, 2) << R.Err.substr(0, 200);
        EXPECT_LT(R.Err.size(), 200u) << R.Err.substr(0, 200);
        EXPECT_EQ(R.Err.find_first_of("\x1b\x07"), std::string::npos);
    }
    // The pressure is named when it is what is wrong.
    for (const char* Pressure : {"0", "-5"}) {
        const TOutcome R = Run({"state", "--pressure", Pressure, "--temp", "20", "--relhum", "50"});
        EXPECT_EQ(R.Exit, 2);
        EXPECT_TRUE(Has(R.Err, "--pressure")) << R.Err;
        EXPECT_FALSE(Has(R.Err, "humidity ratio")) << R.Err;
    }
}

} // namespace
} // namespace psykrona
