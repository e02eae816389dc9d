// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Runs this test program again as a child process, for the tests that need a second process
// (a lease holder, a recording killed mid-file, windows of another client) or a different
// environment (two offscreen screens, a scaled desktop). The child runs the tests its
// `--gtest_filter` names, with the given variables set or removed; its standard output (and,
// if asked, its errors) comes back through a pipe, as prefixed report lines or as a whole.
#include <algorithm>
#include <chrono>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace tarn::TestSupport {

inline constexpr const char *childReportPrefix = "@@";

class ChildProcess {
public:
    using Variables = std::vector<std::pair<std::string, std::string>>;

    // What a child that ran to its end (or was given up) left behind.
    struct Outcome {
        std::optional<int> exitCode; // nothing when it was killed, crashed or timed out
        std::string output;
    };

    // Starts the tests `filter` names (--gtest_filter; empty runs the program without one) with
    // `set` added to this process's environment and `unset` removed. With `mergeErrors` the
    // child's standard error goes into the same pipe, else to this process's.
    explicit ChildProcess(const std::string &filter, const Variables &set = {},
                          const std::vector<std::string> &unset = {}, bool mergeErrors = false)
    {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0)
            return;
        std::vector<std::string> environment;
        for (char **entry = environ; *entry; ++entry) {
            const std::string text = *entry;
            const std::string name = text.substr(0, text.find('='));
            if (!named(unset, name) && !setBy(set, name))
                environment.push_back(text);
        }
        for (const auto &[name, value] : set)
            environment.push_back(name + "=" + value);
        std::vector<char *> envp;
        for (std::string &entry : environment)
            envp.push_back(entry.data());
        envp.push_back(nullptr);
        // The program's real path, also as argv[0]: Qt names the application after it.
        std::string program = programPath();
        std::string filterArgument = "--gtest_filter=" + filter;
        std::vector<char *> argv{program.data()};
        if (!filter.empty())
            argv.push_back(filterArgument.data());
        argv.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        if (mergeErrors)
            posix_spawn_file_actions_adddup2(&actions, fds[1], STDERR_FILENO);
        if (::posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0)
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

    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;

    // Runs the child to its end and returns its exit code and everything it printed.
    static Outcome run(const std::string &filter, const Variables &set, const std::vector<std::string> &unset = {},
                       std::chrono::milliseconds timeout = std::chrono::seconds(30))
    {
        ChildProcess child(filter, set, unset, true);
        Outcome outcome;
        outcome.exitCode = child.waitForExit(timeout);
        outcome.output = child.buffer_;
        return outcome;
    }

    bool started() const { return pid_ > 0; }
    const std::string &output() const { return buffer_; }
    pid_t pid() const { return pid_; }

    // The next reported line (without the prefix), or "" when the child ended or the time ran out.
    std::string nextReport(std::chrono::milliseconds timeout = std::chrono::seconds(20))
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            const size_t newline = buffer_.find('\n', scanned_);
            if (newline != std::string::npos) {
                std::string line = buffer_.substr(scanned_, newline - scanned_);
                scanned_ = newline + 1;
                if (line.rfind(childReportPrefix, 0) == 0)
                    return line.substr(std::strlen(childReportPrefix));
                continue;
            }
            const int left = millisecondsUntil(deadline);
            if (left <= 0 || !readSome(left))
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

    // Waits for the child to end, collecting its output; its exit code, or nothing when it was
    // killed by a signal or is still running at the deadline.
    std::optional<int> waitForExit(std::chrono::milliseconds timeout)
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (pid_ > 0) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                while (readSome(0)) { }
                return WIFEXITED(status) ? std::optional<int>(WEXITSTATUS(status)) : std::nullopt;
            }
            const int left = millisecondsUntil(deadline);
            if (left <= 0)
                return std::nullopt;
            if (!readSome(std::min(left, 50)))
                ::usleep(10'000); // the pipe is closed or quiet: the child is about to end
        }
        return std::nullopt;
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
    static std::string programPath()
    {
        char path[4096];
        const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
        return length > 0 ? std::string(path, static_cast<size_t>(length)) : std::string("/proc/self/exe");
    }

    static bool named(const std::vector<std::string> &names, const std::string &name)
    {
        for (const std::string &entry : names)
            if (entry == name)
                return true;
        return false;
    }

    static bool setBy(const Variables &set, const std::string &name)
    {
        for (const auto &entry : set)
            if (entry.first == name)
                return true;
        return false;
    }

    static int millisecondsUntil(std::chrono::steady_clock::time_point deadline)
    {
        return static_cast<int>(
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count());
    }

    bool readSome(int timeoutMs)
    {
        if (out_ < 0)
            return false;
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
    size_t scanned_ = 0; // how far nextReport has read the buffer
};

// Reports one line to the parent with a single write, so a kill never leaves half a line.
inline void reportToParent(const std::string &line)
{
    const std::string text = std::string(childReportPrefix) + line + "\n";
    [[maybe_unused]] const ssize_t written = ::write(STDOUT_FILENO, text.data(), text.size());
}

} // namespace tarn::TestSupport
