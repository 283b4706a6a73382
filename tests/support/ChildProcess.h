#pragma once

#include "tests/support/TempFolder.h"

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <exception>
#include <functional>
#include <string>
#include <thread>
#include <vector>

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

// Kills the child with SIGKILL, wherever it is, and reaps it.
inline void KillChild(pid_t Pid) {
    kill(Pid, SIGKILL);
    int Status = 0;
    waitpid(Pid, &Status, 0);
}

// The child's exit code once it has ended, or -1 when it ended by a signal or
// did not end within Timeout (it is then killed).
inline int WaitChild(pid_t Pid, std::chrono::milliseconds Timeout) {
    const auto Deadline = std::chrono::steady_clock::now() + Timeout;
    int Status = 0;
    pid_t Done = 0;
    while ((Done = waitpid(Pid, &Status, WNOHANG)) == 0 && std::chrono::steady_clock::now() < Deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (Done == 0) {
        KillChild(Pid);
    }
    return Done == Pid && WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
}

// The user and group a test run as root drops to: "nobody".
constexpr uid_t KOrdinaryUser = 65534;

// Runs Body in a child as an ordinary user (a child of root drops to
// KOrdinaryUser for good, so that permissions apply) and returns its exit
// code (2 when it throws, 3 when the privileges cannot be dropped).
inline int RunAsOrdinaryUser(const std::function<int()>& Body) {
    const pid_t Pid = StartChild([&] {
        const bool Dropped = geteuid() != 0 || (setgroups(0, nullptr) == 0 &&
                                                setresgid(KOrdinaryUser, KOrdinaryUser, KOrdinaryUser) == 0 &&
                                                setresuid(KOrdinaryUser, KOrdinaryUser, KOrdinaryUser) == 0);
        return Dropped ? Body() : 3;
    });
    return WaitChild(Pid, std::chrono::minutes(2));
}

// For checks inside a child, where the test framework cannot report: the
// first failed check prints its text and line and gives the exit code.
#define PSYKRONA_CHILD_CHECK(Condition)                                                                      \
    do {                                                                                                     \
        if (!(Condition)) {                                                                                  \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #Condition);               \
            return 10;                                                                                       \
        }                                                                                                    \
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
    const TTempFolder Dir;
    const std::string Out = Dir.File("out");
    const std::string Err = Dir.File("err");
    std::vector<char*> Argv{const_cast<char*>(Program.c_str())};
    for (const std::string& A : Args) {
        Argv.push_back(const_cast<char*>(A.c_str()));
    }
    Argv.push_back(nullptr);
    const pid_t Pid = fork();
    if (Pid == 0) {
        dup2(open(Out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
        dup2(open(Err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
        for (const std::string& E : Env) {
            putenv(const_cast<char*>(E.c_str()));
        }
        execv(Program.c_str(), Argv.data());
        _exit(127);
    }
    int Status = 0;
    waitpid(Pid, &Status, 0);
    return {WIFEXITED(Status) ? WEXITSTATUS(Status) : -1, ReadFile(Out), ReadFile(Err)};
}

inline std::string CliPath() { return std::string(PSYKRONA_BINARY_DIR) + "/psykrona-cli"; }

} // namespace psykrona::test
