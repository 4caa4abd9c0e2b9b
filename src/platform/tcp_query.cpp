#include "platform/tcp_query.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/name_lookup.h"

namespace {

using Clock = std::chrono::steady_clock;

class Socket final {
  public:
    explicit Socket(int fd) : m_fd(fd) {}
    ~Socket() {
        if (m_fd >= 0) close(m_fd);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int fd() const { return m_fd; }

  private:
    int m_fd;
};

struct Limits {
    Clock::time_point deadline;
    const std::atomic<bool>* cancel;
};

// Waits for `events` on fd until the deadline; false on time-out, cancel or error.
bool WaitFor(int fd, short events, const Limits& limits) {
    for (;;) {
        if (limits.cancel != nullptr && limits.cancel->load()) return false;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(limits.deadline - Clock::now());
        if (left.count() <= 0) return false;
        pollfd p{fd, events, 0};
        const int n = poll(&p, 1, static_cast<int>(std::min<long>(left.count(), 100)));
        if (n > 0) return true;
        if (n < 0 && errno != EINTR) return false;
    }
}

bool ConnectTo(int fd, const sockaddr* address, socklen_t length, const Limits& limits) {
    if (connect(fd, address, length) == 0) return true;
    if (errno != EINPROGRESS) return false;
    if (!WaitFor(fd, POLLOUT, limits)) return false;
    int error = 0;
    socklen_t size = sizeof error;
    return getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
}

std::optional<std::string> Exchange(int fd, std::string_view request, const Limits& limits,
                                    std::size_t cap) {
    while (!request.empty()) {
        if (!WaitFor(fd, POLLOUT, limits)) return std::nullopt;
        const ssize_t n = send(fd, request.data(), request.size(), MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR) continue;
            return std::nullopt;
        }
        request.remove_prefix(static_cast<std::size_t>(n));
    }
    std::string reply;
    char buffer[8192];
    for (;;) {
        if (!WaitFor(fd, POLLIN, limits)) return std::nullopt;
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n == 0) return reply;
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR) continue;
            return std::nullopt;
        }
        if (reply.size() + static_cast<std::size_t>(n) > cap) return std::nullopt;
        reply.append(buffer, static_cast<std::size_t>(n));
    }
}

}  // namespace

std::optional<std::string> TcpQuery(const std::string& host, int port, std::string_view request,
                                    std::chrono::milliseconds timeout, std::size_t cap,
                                    const std::atomic<bool>* cancel) {
    const Limits limits{Clock::now() + timeout, cancel};
    const auto resolved = ResolveHost(host, timeout, cancel);
    if (!resolved) return std::nullopt;
    std::vector<std::string> addresses = resolved->ipv4;
    addresses.insert(addresses.end(), resolved->ipv6.begin(), resolved->ipv6.end());
    for (const std::string& numeric : addresses) {
        addrinfo hints{};
        hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* info = nullptr;
        const std::string service = std::to_string(port);
        if (getaddrinfo(numeric.c_str(), service.c_str(), &hints, &info) != 0) continue;
        Socket socket(::socket(info->ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
        const bool connected =
            socket.fd() >= 0 && ConnectTo(socket.fd(), info->ai_addr, info->ai_addrlen, limits);
        freeaddrinfo(info);
        if (connected) return Exchange(socket.fd(), request, limits, cap);
        if (Clock::now() >= limits.deadline) break;
    }
    return std::nullopt;
}
