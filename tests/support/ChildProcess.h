// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Runs this test program again as a child process in a given role (see
// LibraryChildProcessTest.cpp), reads the lines it reports and kills it.
#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace tarn::testing {

inline constexpr const char *childRoleVariable = "TARN_LIBRARY_CHILD";
inline constexpr const char *childReportPrefix = "@@";

class ChildProcess {
public:
    // Starts the worker test of this program with TARN_LIBRARY_CHILD=role.
    explicit ChildProcess(const std::string &role)
    {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0)
            return;
        std::vector<std::string> environment;
        for (char **e = environ; *e; ++e)
            if (std::strncmp(*e, childRoleVariable, std::strlen(childRoleVariable)) != 0)
                environment.emplace_back(*e);
        environment.push_back(std::string(childRoleVariable) + "=" + role);
        std::vector<char *> envp;
        for (auto &e : environment)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        std::string program = "/proc/self/exe";
        std::string filter = "--gtest_filter=LibraryChildProcess.Worker";
        char *argv[] = {program.data(), filter.data(), nullptr};

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        if (::posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, envp.data()) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        out_ = fds[0];
    }

    ~ChildProcess()
    {
        kill();
        if (out_ >= 0)
            ::close(out_);
    }

    bool started() const { return pid_ > 0; }

    // The next reported line (without the prefix), or "" when the child ended or the time ran out.
    std::string nextReport(std::chrono::milliseconds timeout = std::chrono::seconds(20))
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            const size_t newline = buffer_.find('\n');
            if (newline != std::string::npos) {
                std::string line = buffer_.substr(0, newline);
                buffer_.erase(0, newline + 1);
                if (line.rfind(childReportPrefix, 0) == 0)
                    return line.substr(std::strlen(childReportPrefix));
                continue;
            }
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0 || !readSome(static_cast<int>(left.count())))
                return {};
        }
    }

    // Every line reported until the child ends.
    std::vector<std::string> remainingReports()
    {
        std::vector<std::string> reports;
        for (std::string line = nextReport(); !line.empty(); line = nextReport())
            reports.push_back(line);
        return reports;
    }

    void kill()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }

private:
    bool readSome(int timeoutMs)
    {
        pollfd p{out_, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0)
            return false;
        char chunk[4096];
        const ssize_t got = ::read(out_, chunk, sizeof chunk);
        if (got <= 0)
            return false;
        buffer_.append(chunk, static_cast<size_t>(got));
        return true;
    }

    pid_t pid_ = -1;
    int out_ = -1;
    std::string buffer_;
};

// Reports one line to the parent with a single write, so a kill never leaves half a line.
inline void reportToParent(const std::string &line)
{
    const std::string text = std::string(childReportPrefix) + line + "\n";
    [[maybe_unused]] const ssize_t written = ::write(STDOUT_FILENO, text.data(), text.size());
}

} // namespace tarn::testing
