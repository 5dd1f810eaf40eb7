#pragma once

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <functional>

#include <sys/wait.h>
#include <unistd.h>

namespace vorelle::test {

// What the parent saw of a child killed half way through its work.
struct KilledHalfWay {
    bool reachedHalfWay = false;  // the child said so before it ended
    bool killed = false;          // it ended by SIGKILL
    std::uintmax_t logSize = 0;   // of the write-ahead log at the kill: what the work had written
};

// Runs `work` in a child process and kills it with SIGKILL once `work` calls
// the function it is handed (from within its open transaction).
inline KilledHalfWay KillHalfWay(const std::function<void(const std::function<void()>& halfWay)>& work,
                                 const std::filesystem::path& log)
{
    int told[2];
    if (pipe(told) != 0)
        return {};
    const pid_t child = fork();
    if (child == -1)
        return {};
    if (child == 0) {
        close(told[0]);
        work([&] {
            [[maybe_unused]] const ssize_t written = write(told[1], "h", 1);
            for (;;)
                pause();
        });
        _exit(1);
    }
    close(told[1]);
    KilledHalfWay seen;
    char said = 0;
    seen.reachedHalfWay = read(told[0], &said, 1) == 1;
    close(told[0]);
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(log, error);
    seen.logSize = error ? 0 : size;
    kill(child, SIGKILL);
    int status = 0;
    seen.killed = waitpid(child, &status, 0) == child && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    return seen;
}

}  // namespace vorelle::test
