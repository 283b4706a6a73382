#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
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

} // namespace psykrona::test
