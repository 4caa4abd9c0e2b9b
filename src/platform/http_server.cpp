#include "platform/http_server.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/listen_socket.h"

namespace {

using Clock = std::chrono::steady_clock;

const char* StatusText(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 400:
            return "Bad Request";
        case 404:
            return "Not Found";
        case 405:
            return "Method Not Allowed";
        case 431:
            return "Request Header Fields Too Large";
        case 503:
            return "Service Unavailable";
        default:
            return "Error";
    }
}

std::string Response(const HttpAnswer& answer, bool withBody) {
    std::string out =
        "HTTP/1.1 " + std::to_string(answer.status) + " " + StatusText(answer.status) + "\r\n";
    if (answer.status == 204) return out + "Connection: close\r\n\r\n";  // no body, no length
    out += "Content-Type: " + answer.contentType +
           "\r\nContent-Length: " + std::to_string(answer.body.size()) +
           "\r\nConnection: close\r\n\r\n";
    if (withBody) out += answer.body;
    return out;
}

HttpAnswer Refusal(int status) {
    return HttpAnswer{status, "text/plain; charset=utf-8", StatusText(status)};
}

// Sends what fits without waiting: for refusals the event loop gives on its own.
void SendWithoutWaiting(int fd, const std::string& bytes) {
    [[maybe_unused]] const ssize_t sent =
        ::send(fd, bytes.data(), bytes.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
}

void SendAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;  // gone, or not reading within the send time-out
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

void CloseAnswered(int fd) {
    ::shutdown(fd, SHUT_WR);
    ::close(fd);
}

int ListenOn(const std::string& bindAddress, int port, int backlog) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    if (::getaddrinfo(bindAddress.empty() ? nullptr : bindAddress.c_str(), service.c_str(), &hints,
                      &found) != 0) {
        return -1;
    }
    int fd = -1;
    for (addrinfo* a = found; a != nullptr && fd < 0; a = a->ai_next) {
        fd = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) continue;
        SetListenSocketOptions(fd);
        if (::bind(fd, a->ai_addr, a->ai_addrlen) != 0 || ::listen(fd, backlog) != 0) {
            ::close(fd);
            fd = -1;
        }
    }
    ::freeaddrinfo(found);
    return fd;
}

int BoundPort(int fd) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) return -1;
    if (address.ss_family == AF_INET) {
        return ntohs(reinterpret_cast<const sockaddr_in&>(address).sin_port);
    }
    return ntohs(reinterpret_cast<const sockaddr_in6&>(address).sin6_port);
}

struct Connection {
    int fd = -1;
    Clock::time_point deadline;
    std::string bytes;
    std::optional<HttpRequestHead> head;  // once read, the body follows
    std::size_t headEnd = 0;
};

struct Job {
    int fd = -1;
    HttpRequestHead head;
    std::string body;
};

}  // namespace

struct HttpServer::State {
    Handler handler;
    HttpServerOptions options;
    int listenFd = -1;
    int wakeFd = -1;
    int port = 0;
    bool stopped = false;
    std::thread loop;

    std::mutex mutex;
    std::condition_variable queued;
    std::deque<Job> jobs;
    std::vector<std::thread> workers;
    std::size_t idleWorkers = 0;
    bool stopping = false;

    void RunLoop();
    // 0 while the head is incomplete or once it is taken; else the status that refuses it.
    int ReadHead(Connection& c, Clock::time_point now) const;
    void Enqueue(int fd, HttpRequestHead head, std::string body);
    void RunWorker();
    void Answer(Job& job);
};

void HttpServer::State::RunLoop() {
    std::vector<Connection> connections;
    std::vector<pollfd> polled;
    Clock::time_point acceptPausedUntil{};
    for (;;) {
        const Clock::time_point now = Clock::now();
        const bool accepting =
            connections.size() < options.maxPendingConnections && now >= acceptPausedUntil;
        polled.clear();
        polled.push_back({wakeFd, POLLIN, 0});
        polled.push_back({accepting ? listenFd : -1, POLLIN, 0});
        Clock::time_point next =
            now < acceptPausedUntil ? acceptPausedUntil : Clock::time_point::max();
        for (const Connection& c : connections) {
            polled.push_back({c.fd, POLLIN, 0});
            next = std::min(next, c.deadline);
        }
        int timeout = -1;
        if (next != Clock::time_point::max()) {
            const auto wait = std::chrono::ceil<std::chrono::milliseconds>(next - now).count();
            timeout = static_cast<int>(std::clamp<long long>(wait, 0, 60000));
        }
        if (::poll(polled.data(), polled.size(), timeout) < 0 && errno != EINTR) break;
        if (polled[0].revents != 0) break;  // Stop

        // Connections first: the indices of `polled` follow `connections` from 2 on.
        const Clock::time_point after = Clock::now();
        std::size_t kept = 0;
        for (std::size_t i = 0; i < connections.size(); ++i) {
            Connection& c = connections[i];
            bool open = true;
            if (polled[i + 2].revents != 0) {
                char buffer[65536];
                const std::size_t want =
                    c.head ? c.headEnd + c.head->contentLength : kMaxHttpHeadBytes + 1;
                const std::size_t room = std::min(want - c.bytes.size(), sizeof buffer);
                const ssize_t n = ::recv(c.fd, buffer, room, 0);
                if (n > 0) {
                    c.bytes.append(buffer, static_cast<std::size_t>(n));
                    if (!c.head) {
                        const int refusal = ReadHead(c, after);
                        if (refusal != 0) {
                            SendWithoutWaiting(c.fd, Response(Refusal(refusal), true));
                            CloseAnswered(c.fd);
                            open = false;
                        }
                    }
                    if (open && c.head && c.bytes.size() >= c.headEnd + c.head->contentLength) {
                        Enqueue(c.fd, std::move(*c.head),
                                c.bytes.substr(c.headEnd, c.head->contentLength));
                        open = false;
                    }
                } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                    ::close(c.fd);
                    open = false;
                }
            }
            if (open && after >= c.deadline) {
                ::close(c.fd);  // too slow: the time-out covers the whole head
                open = false;
            }
            if (!open) continue;
            if (kept != i) connections[kept] = std::move(c);  // never a self-move: it empties
            ++kept;
        }
        connections.resize(kept);

        if (accepting && polled[1].revents != 0) {
            while (connections.size() < options.maxPendingConnections) {
                const int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
                if (fd >= 0) {
                    connections.push_back(
                        {fd, Clock::now() + options.headTimeout, {}, std::nullopt, 0});
                    continue;
                }
                if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
                    // Out of descriptors: leave the rest in the backlog for a moment instead
                    // of spinning on a listening socket that stays readable.
                    acceptPausedUntil = Clock::now() + std::chrono::milliseconds(100);
                }
                break;  // EAGAIN, or a connection that went away before its accept
            }
        }
    }
    for (const Connection& c : connections) ::close(c.fd);
}

int HttpServer::State::ReadHead(Connection& c, Clock::time_point now) const {
    const std::size_t end = HttpHeadEnd(c.bytes);
    if (end == std::string::npos) return c.bytes.size() > kMaxHttpHeadBytes ? 431 : 0;
    auto head = ParseHttpRequestHead(std::string_view(c.bytes).substr(0, end));
    if (!head) return 400;
    if (head->method != "GET" && head->method != "HEAD" && head->method != "POST") return 405;
    if (head->chunked) return 501;
    if (head->contentLength > options.maxBodyBytes) return 413;
    c.head = std::move(head);
    c.headEnd = end;
    c.deadline = now + options.bodyTimeout;
    return 0;
}

void HttpServer::State::Enqueue(int fd, HttpRequestHead head, std::string body) {
    std::unique_lock lock(mutex);
    if (stopping || jobs.size() >= options.maxQueuedRequests) {
        lock.unlock();
        SendWithoutWaiting(fd, Response(Refusal(503), true));
        CloseAnswered(fd);
        return;
    }
    jobs.push_back({fd, std::move(head), std::move(body)});
    if (idleWorkers < jobs.size() && workers.size() < options.maxWorkers) {
        try {
            workers.emplace_back([this] { RunWorker(); });
        } catch (const std::system_error&) {
            // No thread to be had: the workers there are take the job in turn.
            if (workers.empty()) {
                jobs.pop_back();
                lock.unlock();
                SendWithoutWaiting(fd, Response(Refusal(503), true));
                CloseAnswered(fd);
                return;
            }
        }
    }
    queued.notify_one();
}

void HttpServer::State::RunWorker() {
    std::unique_lock lock(mutex);
    for (;;) {
        ++idleWorkers;
        queued.wait(lock, [this] { return stopping || !jobs.empty(); });
        --idleWorkers;
        if (jobs.empty()) return;  // stopping, nothing left
        Job job = std::move(jobs.front());
        jobs.pop_front();
        lock.unlock();
        Answer(job);
        lock.lock();
    }
}

void HttpServer::State::Answer(Job& job) {
    // Back to blocking writes, each bounded by the send time-out.
    ::fcntl(job.fd, F_SETFL, ::fcntl(job.fd, F_GETFL) & ~O_NONBLOCK);
    const auto seconds = std::chrono::duration_cast<std::chrono::microseconds>(options.sendTimeout);
    timeval limit{static_cast<time_t>(seconds.count() / 1000000),
                  static_cast<suseconds_t>(seconds.count() % 1000000)};
    ::setsockopt(job.fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    const HttpAnswer answer = handler(job.head, std::move(job.body));
    SendAll(job.fd, Response(answer, job.head.method != "HEAD"));
    CloseAnswered(job.fd);
}

HttpServer::HttpServer(std::unique_ptr<State> state) : m_state(std::move(state)) {}

HttpServer::~HttpServer() {
    Stop();
    if (m_state->listenFd >= 0) ::close(m_state->listenFd);
    if (m_state->wakeFd >= 0) ::close(m_state->wakeFd);
}

std::unique_ptr<HttpServer> HttpServer::Start(const std::string& bindAddress, int port,
                                              Handler handler, HttpServerOptions options) {
    auto state = std::make_unique<State>();
    state->handler = std::move(handler);
    state->options = options;
    state->listenFd = ListenOn(bindAddress, port, options.backlog);
    if (state->listenFd < 0) return nullptr;
    state->port = BoundPort(state->listenFd);
    state->wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    std::unique_ptr<HttpServer> server(new HttpServer(std::move(state)));
    if (server->m_state->wakeFd < 0 || server->m_state->port <= 0) return nullptr;
    State* s = server->m_state.get();
    // The socket already listens: connections made before the loop runs wait in the backlog.
    s->loop = std::thread([s] { s->RunLoop(); });
    return server;
}

int HttpServer::Port() const {
    return m_state->port;
}

void HttpServer::Stop() {
    State& s = *m_state;
    if (s.stopped) return;
    s.stopped = true;
    if (s.loop.joinable()) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(s.wakeFd, &one, sizeof one);
        s.loop.join();
    }
    // No new connection from here on: the port is free for another server.
    ::close(s.listenFd);
    s.listenFd = -1;
    std::vector<std::thread> workers;
    std::deque<Job> unanswered;
    {
        std::lock_guard lock(s.mutex);
        s.stopping = true;
        unanswered.swap(s.jobs);
        workers.swap(s.workers);
    }
    s.queued.notify_all();
    for (const Job& job : unanswered) ::close(job.fd);
    for (std::thread& worker : workers) worker.join();
}
