#pragma once
// Drives x11_test_window, a separate X client, over its stdin and stdout (or another
// test client that speaks the same way, such as wayland_test_window).

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "Eventually.h"

namespace tamberlyn::testing {

class TestWindowClient {
public:
#ifdef TAMBERLYN_TEST_WINDOW
    TestWindowClient() : TestWindowClient(std::vector<std::string>{TAMBERLYN_TEST_WINDOW}) {}
#endif
    // Another client that takes the same commands and reports the same way.
    explicit TestWindowClient(const std::vector<std::string>& command) {
        std::vector<char*> argv;
        for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
        argv.push_back(nullptr);
        int in[2], out[2];
        if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
        pid_ = fork();
        if (pid_ == 0) {
            dup2(in[0], STDIN_FILENO);
            dup2(out[1], STDOUT_FILENO);
            execvp(argv[0], argv.data());
            _exit(127);
        }
        close(in[0]);
        close(out[1]);
        toClient_ = in[1];
        fromClient_ = out[0];
    }
    ~TestWindowClient() {
        close(toClient_);  // the client exits at the end of its input
        for (int i = 0; i < 100 && waitpid(pid_, nullptr, WNOHANG) == 0; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (kill(pid_, SIGKILL) == 0) waitpid(pid_, nullptr, 0);
        close(fromClient_);
    }
    TestWindowClient(const TestWindowClient&) = delete;
    TestWindowClient& operator=(const TestWindowClient&) = delete;

    // Opens a window (see x11_test_window.cpp for the flags) and returns its id.
    std::int32_t open(const std::string& label, const std::string& flags, const std::string& title) {
        send("open " + label + " " + flags + " " + title);
        return idIn(waitFor("window " + label + " "));
    }
    void takeDeleteWindow(const std::string& label) {
        send("protocols " + label);
        waitFor("protocols " + label);
    }
    void destroy(const std::string& label) {
        send("destroy " + label);
        waitFor("destroyed " + label);
    }

    // The first report starting with prefix not returned before; throws after the patience.
    std::string waitFor(const std::string& prefix) {
        const auto deadline = std::chrono::steady_clock::now() + kPatience;
        for (;;) {
            for (std::size_t i = 0; i < lines_.size(); ++i) {
                if (lines_[i].rfind(prefix, 0) == 0) {
                    std::string line = lines_[i];
                    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
                    return line;
                }
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0 || !readSome(static_cast<int>(left.count()))) {
                throw std::runtime_error("the test window client never reported \"" + prefix + "\"");
            }
        }
    }

    // How many reports starting with prefix arrived so far, without waiting.
    int count(const std::string& prefix) {
        while (readSome(0)) {
        }
        int n = 0;
        for (const std::string& line : lines_) n += line.rfind(prefix, 0) == 0 ? 1 : 0;
        return n;
    }

    static std::int32_t idIn(const std::string& line) {
        return static_cast<std::int32_t>(std::stol(line.substr(line.find_last_of(' ') + 1)));
    }

    void send(const std::string& line) {
        const std::string data = line + "\n";
        if (write(toClient_, data.data(), data.size()) != static_cast<ssize_t>(data.size())) {
            throw std::runtime_error("the test window client does not listen");
        }
    }
    pid_t pid() const { return pid_; }

private:
    bool readSome(int timeoutMs) {
        pollfd fd{fromClient_, POLLIN, 0};
        if (poll(&fd, 1, timeoutMs) <= 0) return false;
        char buffer[4096];
        const ssize_t n = read(fromClient_, buffer, sizeof buffer);
        if (n <= 0) return false;
        partial_.append(buffer, static_cast<std::size_t>(n));
        for (std::size_t end; (end = partial_.find('\n')) != std::string::npos;) {
            lines_.push_back(partial_.substr(0, end));
            partial_.erase(0, end + 1);
        }
        return true;
    }

    pid_t pid_ = -1;
    int toClient_ = -1;
    int fromClient_ = -1;
    std::string partial_;
    std::vector<std::string> lines_;
};

}  // namespace tamberlyn::testing
