#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace psykrona::test {

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
