#pragma once

#include <grp.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>
#include <exception>
#include <functional>
#include <string>
#include <thread>

namespace psykrona::test {

// Runs Body in a forked child that leaves with _exit(Body's result), 2 when
// Body throws, so nothing of the test framework runs twice. Returns the
// child's process id.
inline pid_t StartChild(const std::function<int()>& Body) {
    const pid_t Pid = fork();
    if (Pid == 0) {
        int Code = 2;
        try {
            Code = Body();
        } catch (const std::exception& E) {
            std::fprintf(stderr, "child: %s\n", E.what());
        } catch (...) {
        }
        _exit(Code);
    }
    return Pid;
}

// The child's exit code once it has ended, or -1 when it ended by a signal or
// did not end within Timeout (it is then killed).
inline int WaitChild(pid_t Pid, std::chrono::milliseconds Timeout) {
    const auto Deadline = std::chrono::steady_clock::now() + Timeout;
    int Status = 0;
    for (;;) {
        const pid_t Done = waitpid(Pid, &Status, WNOHANG);
        if (Done == Pid) {
            return WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
        }
        if (Done < 0) {
            return -1;
        }
        if (std::chrono::steady_clock::now() > Deadline) {
            kill(Pid, SIGKILL);
            waitpid(Pid, &Status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// Kills the child with SIGKILL, wherever it is, and reaps it.
inline void KillChild(pid_t Pid) {
    kill(Pid, SIGKILL);
    int Status = 0;
    waitpid(Pid, &Status, 0);
}

// The user and group a test run as root drops to: "nobody".
constexpr uid_t KOrdinaryUser = 65534;

// In a child of root: drops to KOrdinaryUser for good, so that permissions
// apply. False when that fails; an ordinary user stays who it is.
inline bool DropToOrdinaryUser() {
    return geteuid() != 0 ||
           (setgroups(0, nullptr) == 0 && setresgid(KOrdinaryUser, KOrdinaryUser, KOrdinaryUser) == 0 &&
            setresuid(KOrdinaryUser, KOrdinaryUser, KOrdinaryUser) == 0);
}

// Runs Body in a child as an ordinary user and returns its exit code (2 when
// it throws, 3 when the privileges cannot be dropped).
inline int RunAsOrdinaryUser(const std::function<int()>& Body) {
    const pid_t Pid = StartChild([&] { return DropToOrdinaryUser() ? Body() : 3; });
    return WaitChild(Pid, std::chrono::minutes(2));
}

// For checks inside a child, where the test framework cannot report: the
// first failed check prints its text and line and gives the exit code.
#define PSYKRONA_CHILD_CHECK(Condition)                                                                \
    do {                                                                                               \
        if (!(Condition)) {                                                                            \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #Condition);          \
            return 10;                                                                                 \
        }                                                                                              \
    } while (false)

struct TProcessResult {
    int ExitCode = -1;
    std::string Out;
    std::string Err;
};

// Runs a program with arguments (no shell), with extra environment settings
// "NAME=value", and collects its exit code and both output streams.
inline TProcessResult RunProcess(const std::string& Program, const std::vector<std::string>& Args,
                                 const std::vector<std::string>& Env = {}) {
    char OutName[] = "/tmp/psykrona-test-outXXXXXX";
    char ErrName[] = "/tmp/psykrona-test-errXXXXXX";
    const int OutFd = mkstemp(OutName);
    const int ErrFd = mkstemp(ErrName);
    TProcessResult R;
    const pid_t Pid = fork();
    if (Pid == 0) {
        dup2(OutFd, 1);
        dup2(ErrFd, 2);
        for (const std::string& E : Env) {
            putenv(const_cast<char*>(E.c_str()));
        }
        std::vector<char*> Argv{const_cast<char*>(Program.c_str())};
        for (const std::string& A : Args) {
            Argv.push_back(const_cast<char*>(A.c_str()));
        }
        Argv.push_back(nullptr);
        execv(Program.c_str(), Argv.data());
        _exit(127);
    }
    int Status = 0;
    waitpid(Pid, &Status, 0);
    R.ExitCode = WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
    auto Slurp = [](const char* Name) {
        std::ifstream In(Name, std::ios::binary);
        std::stringstream S;
        S << In.rdbuf();
        return S.str();
    };
    R.Out = Slurp(OutName);
    R.Err = Slurp(ErrName);
    close(OutFd);
    close(ErrFd);
    unlink(OutName);
    unlink(ErrName);
    return R;
}

inline std::string CliPath() { return std::string(PSYKRONA_BINARY_DIR) + "/psykrona-cli"; }

// Copies the tool and the helper programs it runs (those this build has) into
// Dir, where they look up their data; returns the tool's path there.
inline std::string CopyCliTo(const std::filesystem::path& Dir) {
    for (const char* Program : {"psykrona-cli", "psykrona-cli-files", "psykrona-cli-draw"}) {
        const std::filesystem::path From = std::filesystem::path(PSYKRONA_BINARY_DIR) / Program;
        if (std::filesystem::exists(From)) {
            std::filesystem::copy_file(From, Dir / Program);
            std::filesystem::permissions(Dir / Program, std::filesystem::perms::owner_all);
        }
    }
    return (Dir / "psykrona-cli").string();
}

} // namespace psykrona::test
