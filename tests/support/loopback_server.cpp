#include "support/loopback_server.h"

#include <arpa/inet.h>
#include <linux/sockios.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace {

constexpr std::size_t kMaxHead = 64 * 1024;

int ListenOnLoopback(int& port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) throw std::runtime_error("socket");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(fd, 16) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        close(fd);
        throw std::runtime_error("bind/listen on 127.0.0.1");
    }
    port = ntohs(address.sin_port);
    return fd;
}

// Waits until `fd` is ready for `events`; false when `wakeFd` fires first.
bool WaitFor(int fd, int wakeFd, short events) {
    pollfd fds[2] = {{fd, events, 0}, {wakeFd, POLLIN, 0}};
    while (true) {
        const int n = poll(fds, 2, -1);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        return (fds[1].revents & POLLIN) == 0;
    }
}

}  // namespace

bool LoopbackServer::Connection::WaitReadable() {
    return WaitFor(m_fd, m_wakeFd, POLLIN);
}

bool LoopbackServer::Connection::WaitWritable() {
    return WaitFor(m_fd, m_wakeFd, POLLOUT);
}

bool LoopbackServer::Connection::ReadHead() {
    char buffer[4096];
    while (m_request.find("\r\n\r\n") == std::string::npos && m_request.size() < kMaxHead) {
        if (!WaitReadable()) return false;
        const ssize_t n = recv(m_fd, buffer, sizeof buffer, 0);
        if (n <= 0) return !m_request.empty();
        m_request.append(buffer, static_cast<std::size_t>(n));
    }
    return true;
}

bool LoopbackServer::Connection::Send(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!WaitWritable()) return false;
            continue;
        }
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

void LoopbackServer::Connection::Finish() {
    shutdown(m_fd, SHUT_WR);
    HoldUntilClosed();
}

void LoopbackServer::Connection::HoldUntilClosed() {
    char buffer[4096];
    while (WaitReadable() && recv(m_fd, buffer, sizeof buffer, 0) > 0) {
    }
}

void LoopbackServer::Connection::Reset() {
    // The reset must come after the bytes, not overtake them in the send queue.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    int unacknowledged = 0;
    while (ioctl(m_fd, SIOCOUTQ, &unacknowledged) == 0 && unacknowledged > 0 &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    linger abort{1, 0};
    setsockopt(m_fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    close(m_fd);
    m_closed = true;
}

LoopbackServer::LoopbackServer(Script script) : m_script(std::move(script)) {
    m_listenFd = ListenOnLoopback(m_port);
    m_wakeFd = eventfd(0, EFD_CLOEXEC);
    m_thread = std::thread([this] { Serve(); });
}

LoopbackServer::~LoopbackServer() {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(m_wakeFd, &one, sizeof one);
    m_thread.join();
    close(m_listenFd);
    close(m_wakeFd);
}

void LoopbackServer::Serve() {
    for (int index = 0;; ++index) {
        if (!WaitFor(m_listenFd, m_wakeFd, POLLIN)) return;
        const int fd = accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        Connection connection(fd, m_wakeFd, index);
        if (connection.ReadHead()) {
            {
                std::lock_guard lock(m_mutex);
                m_requests.push_back(connection.m_request);
            }
            m_arrived.notify_all();
            m_script(connection);
        }
        if (!connection.m_closed) close(fd);
    }
}

std::vector<std::string> LoopbackServer::Requests() const {
    std::lock_guard lock(m_mutex);
    return m_requests;
}

bool LoopbackServer::WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(m_mutex);
    return m_arrived.wait_for(lock, timeout, [&] { return m_requests.size() >= count; });
}

LoopbackServer::Script LoopbackServer::Reply(std::string bytes) {
    return [bytes = std::move(bytes)](Connection& c) {
        if (c.Send(bytes)) c.Finish();
    };
}

LoopbackServer::Script LoopbackServer::ResetAfter(std::string bytes) {
    return [bytes = std::move(bytes)](Connection& c) {
        c.Send(bytes);
        c.Reset();
    };
}

LoopbackServer::Script LoopbackServer::Silent() {
    return [](Connection& c) { c.HoldUntilClosed(); };
}

std::string LoopbackServer::HttpReply(std::string_view body, std::string_view status) {
    std::string reply = "HTTP/1.0 ";
    reply += status;
    reply += "\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Length: ";
    reply += std::to_string(body.size());
    reply += "\r\n\r\n";
    reply += body;
    return reply;
}

int LoopbackServer::UnusedPort() {
    int port = 0;
    close(ListenOnLoopback(port));
    return port;
}
