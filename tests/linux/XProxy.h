#pragma once
// A connection to the X server of $DISPLAY through a relay of the test's own, which counts
// the bytes the client sends and can cut the connection as a dying server would.

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <thread>

namespace tamberlyn::testing {

class XProxy {
public:
    XProxy() {
        int pair[2];
        if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) throw std::runtime_error("socketpair failed");
        clientEnd_ = pair[0];
        relayEnd_ = pair[1];
        server_ = connectToServer();
        relay_ = std::thread([this] { run(); });
    }
    ~XProxy() {
        cut();
        relay_.join();
        close(relayEnd_);
        close(server_);
    }
    XProxy(const XProxy&) = delete;
    XProxy& operator=(const XProxy&) = delete;

    // The connection is the caller's, and owns the client end.
    xcb_connection_t* connect() { return xcb_connect_to_fd(clientEnd_, nullptr); }

    std::uint64_t bytesToServer() const { return toServer_; }

    void cut() {
        shutdown(server_, SHUT_RDWR);
        shutdown(relayEnd_, SHUT_RDWR);
    }

private:
    static int connectToServer() {
        const char* display = std::getenv("DISPLAY");
        if (display == nullptr || display[0] != ':') throw std::runtime_error("DISPLAY is not a local display");
        const std::string path = "/tmp/.X11-unix/X" + std::to_string(std::atoi(display + 1));
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
            close(fd);
            throw std::runtime_error("cannot reach " + path);
        }
        return fd;
    }

    // Copies what is there; false once either side has gone.
    bool pass(int from, int to, std::atomic<std::uint64_t>* counted) {
        char buffer[65536];
        const ssize_t n = read(from, buffer, sizeof buffer);
        if (n <= 0) return false;
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = write(to, buffer + done, static_cast<std::size_t>(n - done));
            if (w <= 0) return false;
            done += w;
        }
        if (counted != nullptr) *counted += static_cast<std::uint64_t>(n);
        return true;
    }

    void run() {
        for (;;) {
            pollfd fds[] = {{relayEnd_, POLLIN, 0}, {server_, POLLIN, 0}};
            if (poll(fds, 2, -1) < 0) continue;
            if (fds[0].revents != 0 && !pass(relayEnd_, server_, &toServer_)) break;
            if (fds[1].revents != 0 && !pass(server_, relayEnd_, nullptr)) break;
        }
        cut();
    }

    int clientEnd_ = -1;
    int relayEnd_ = -1;
    int server_ = -1;
    std::atomic<std::uint64_t> toServer_{0};
    std::thread relay_;
};

}  // namespace tamberlyn::testing
