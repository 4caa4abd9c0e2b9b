#include "platform/http_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

int Connect(int port, bool nonBlocking = false) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | (nonBlocking ? SOCK_NONBLOCK : 0), 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const int result = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    EXPECT_TRUE(result == 0 || (nonBlocking && errno == EINPROGRESS)) << errno;
    return fd;
}

void Send(int fd, std::string_view bytes) {
    EXPECT_EQ(::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(bytes.size()));
}

// Everything the server sends until it closes, or "<open>" when it is still open at the
// deadline.
std::string ReadToEnd(int fd, std::chrono::milliseconds within = 5s) {
    const auto deadline = Clock::now() + within;
    std::string reply;
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd p{fd, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) {
            return "<open>";
        }
        char buffer[4096];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) return reply;
        reply.append(buffer, static_cast<std::size_t>(n));
    }
}

std::string Exchange(int port, std::string_view request) {
    const int fd = Connect(port);
    Send(fd, request);
    std::string reply = ReadToEnd(fd);
    ::close(fd);
    return reply;
}

std::string Get(int port, const std::string& target) {
    return Exchange(port, "GET " + target + " HTTP/1.0\r\n\r\n");
}

std::unique_ptr<HttpServer> EchoServer(HttpServerOptions options = {}) {
    auto server = HttpServer::Start(
        "127.0.0.1", 0,
        [](const HttpRequestHead& head, std::string body) {
            return HttpAnswer{200, "text/plain", head.target + body};
        },
        options);
    EXPECT_NE(server, nullptr);
    return server;
}

TEST(HttpRequestHead, FindsTheEndAndReadsTheRequestLine) {
    struct Case {
        std::string_view bytes;
        std::size_t end;  // npos: incomplete
        bool parsed;
        std::string_view target;
        int minor;
    };
    using namespace std::string_view_literals;
    constexpr auto npos = std::string_view::npos;
    const Case cases[] = {
        {"GET /get.php?a&b&c HTTP/1.1\r\nHost: x\r\n\r\n", 40, true, "/get.php?a&b&c", 1},
        {"GET / HTTP/1.0\n\n", 16, true, "/", 0},
        {"\r\n\r\nGET / HTTP/1.0\r\n\r\n", 22, true, "/", 0},  // empty lines first
        {"GET http://h:1/p?q HTTP/1.1\r\n\r\n", 31, true, "/p?q", 1},
        {"GET HTTP://h HTTP/1.1\r\n\r\n", 25, true, "/", 1},
        {"GET / HTTP/1.0\r\nHost: x\r\n", npos, false, "", 0},
        {"GET / HTTP/1.0\r\n\r", npos, false, "", 0},
        {"\r\n\r\n", npos, false, "", 0},
        {"GET  / HTTP/1.0\r\n\r\n", 19, false, "", 0},
        {"GET / HTTP/2.0\r\n\r\n", 18, false, "", 0},
        {"GET / HTTP/1.10\r\n\r\n", 19, false, "", 0},
        {"get / HTTP/1.0\r\n\r\n", 18, false, "", 0},
        {"GET x HTTP/1.0\r\n\r\n", 18, false, "", 0},
        {"GET /a\x7F HTTP/1.0\r\n\r\n", 20, false, "", 0},
        {"GET /\0 HTTP/1.0\r\n\r\n"sv, 19, false, "", 0},
        {"GET /a\tb HTTP/1.0\r\n\r\n", 21, false, "", 0},
        {"GET /\r\n\r\n", 9, false, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(HttpHeadEnd(c.bytes), c.end);
        if (c.end == npos) continue;
        const auto head = ParseHttpRequestHead(c.bytes.substr(0, c.end));
        ASSERT_EQ(head.has_value(), c.parsed);
        if (head) {
            EXPECT_EQ(head->method, "GET");
            EXPECT_EQ(head->target, c.target);
            EXPECT_EQ(head->minorVersion, c.minor);
        }
    }
}

TEST(HttpServer, AnswersGetHeadAndPostAndRefusesTheRest) {
    HttpServerOptions options;
    options.maxBodyBytes = 100;
    auto server = EchoServer(options);
    const int port = server->Port();
    const std::string ok =
        "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 6\r\n"
        "Connection: close\r\n\r\n";
    EXPECT_EQ(Get(port, "/a?b&c"), ok + "/a?b&c");
    EXPECT_EQ(Exchange(port, "GET /a?b&c HTTP/1.1\r\nHost: x\r\nConnection: keep-alive\r\n\r\n"),
              ok + "/a?b&c");
    EXPECT_EQ(Exchange(port, "HEAD /a?b&c HTTP/1.1\r\n\r\n"), ok);

    // A body (Content-Length only) within the bound, even in pieces.
    const int post = Connect(port);
    Send(post, "POST /a?b&c HTTP/1.1\r\nContent-length:  3 \r\n\r\nx");
    Send(post, "yz");
    EXPECT_EQ(ReadToEnd(post),
              "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 9\r\n"
              "Connection: close\r\n\r\n/a?b&cxyz");
    ::close(post);

    const std::pair<std::string, std::string_view> refused[] = {
        {"POST / HTTP/1.1\r\nContent-Length: 101\r\n\r\n", "HTTP/1.1 413 "},
        {"POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n", "HTTP/1.1 501 "},
        {"POST / HTTP/1.1\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\n", "HTTP/1.1 400 "},
        {"POST / HTTP/1.1\r\nContent-Length: -1\r\n\r\n", "HTTP/1.1 400 "},
        {"PUT / HTTP/1.1\r\nContent-Length: 0\r\n\r\n", "HTTP/1.1 405 "},
        {"BREW /pot HTTP/1.1\r\n\r\n", "HTTP/1.1 405 "},
        {"GARBAGE\r\n\r\n", "HTTP/1.1 400 "},
        {"GET / HTTP/1.1\r\nX: " + std::string(9000, 'a') + "\r\n\r\n", "HTTP/1.1 431 "},
    };
    for (const auto& [request, status] : refused) {
        EXPECT_EQ(Exchange(port, request).substr(0, status.size()), status)
            << request.substr(0, 30);
    }
    // A head in pieces.
    const int pieces = Connect(port);
    Send(pieces, "GET /a?b");
    Send(pieces, "&c HTTP/1.0\r");
    Send(pieces, "\n\r\n");
    EXPECT_EQ(ReadToEnd(pieces), ok + "/a?b&c");
    ::close(pieces);
    // A client that leaves at once costs nothing either.
    ::close(Connect(port));
    EXPECT_EQ(Get(port, "/a?b&d"), ok + "/a?b&d");
}

// Slow clients hold a descriptor each and no worker: with far more of them than workers,
// whole requests are still answered at once, and each slow one is dropped when its head
// time-out (counted from the accept, not per read) has passed.
TEST(HttpServer, SlowClientsCostOnlyThemselves) {
    HttpServerOptions options;
    options.headTimeout = 1500ms;
    options.maxWorkers = 4;
    auto server = EchoServer(options);
    const int port = server->Port();

    std::vector<int> slow;
    for (int i = 0; i < 100; ++i) {
        slow.push_back(Connect(port));
        Send(slow.back(), "GET /get.php?ip&a.com&1 HTTP/1.1\r\nHo");
    }
    const int trickler = Connect(port);
    for (int i = 0; i < 8; ++i) {
        const std::string target = "/quick" + std::to_string(i);
        const std::string reply = Get(port, target);
        EXPECT_EQ(reply.substr(reply.size() - target.size()), target);
        Send(trickler, "G");  // a byte now and then: each read comes in time
    }
    // The trickler goes on until it is cut off, bounded by a count of rounds.
    bool cut = false;
    for (int round = 0; round < 100 && !cut; ++round) {
        pollfd p{trickler, POLLIN, 0};
        if (::poll(&p, 1, 50) == 1) {
            char byte = 0;
            cut = ::recv(trickler, &byte, 1, 0) <= 0;
        } else {
            ::send(trickler, "E", 1, MSG_NOSIGNAL);
        }
    }
    EXPECT_TRUE(cut) << "a client trickling its head was never dropped";
    ::close(trickler);
    for (const int fd : slow) {
        EXPECT_EQ(ReadToEnd(fd), "") << "a slow client got an answer, or was never dropped";
        ::close(fd);
    }
}

// Answers that take long (a slow site, an engine's pause) each hold one worker; more
// workers start while others are busy.
TEST(HttpServer, BusyWorkersLeaveRoomForOtherRequests) {
    std::mutex mutex;
    std::condition_variable changed;
    int holding = 0;
    bool released = false;
    auto server = HttpServer::Start("127.0.0.1", 0, [&](const HttpRequestHead& head, std::string) {
        if (head.target == "/hold") {
            std::unique_lock lock(mutex);
            ++holding;
            changed.notify_all();
            changed.wait(lock, [&] { return released; });
        }
        return HttpAnswer{200, "text/plain", "done"};
    });
    ASSERT_NE(server, nullptr);
    std::vector<int> held;
    for (int i = 0; i < 20; ++i) {
        held.push_back(Connect(server->Port()));
        Send(held.back(), "GET /hold HTTP/1.0\r\n\r\n");
    }
    {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, 10s, [&] { return holding == 20; }));
    }
    const std::string reply = Get(server->Port(), "/quick");
    EXPECT_EQ(reply.substr(reply.size() - 4), "done");
    {
        std::lock_guard lock(mutex);
        released = true;
    }
    changed.notify_all();
    for (const int fd : held) {
        const std::string answer = ReadToEnd(fd);
        EXPECT_EQ(answer.substr(answer.size() - 4), "done");
        ::close(fd);
    }
}

// 1,000 clients at once: each connects, sends its request and reads its answer; all are
// answered within a bound far below the seconds that dropped connections cost.
TEST(HttpServer, BurstOfAThousandConnectionsIsAnswered) {
    constexpr std::size_t kClients = 1000;
    rlimit files{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &files), 0);
    if (files.rlim_cur < 3 * kClients) {
        files.rlim_cur = std::min<rlim_t>(files.rlim_max, 4 * kClients);
        ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &files), 0);
    }
    if (files.rlim_cur < 2 * kClients + 64) GTEST_SKIP() << "too few file descriptors";
    auto server = EchoServer();

    struct Client {
        int fd;
        bool sent = false;
        std::string reply;
        bool done = false;
    };
    std::vector<Client> clients;
    for (std::size_t i = 0; i < kClients; ++i)
        clients.push_back({Connect(server->Port(), true), false, {}, false});
    const auto deadline = Clock::now() + 20s;
    std::size_t answered = 0;
    std::vector<pollfd> polled;
    std::vector<std::size_t> which;
    while (answered < kClients && Clock::now() < deadline) {
        polled.clear();
        which.clear();
        for (std::size_t i = 0; i < clients.size(); ++i) {
            if (clients[i].done) continue;
            polled.push_back(
                {clients[i].fd, static_cast<short>(clients[i].sent ? POLLIN : POLLOUT), 0});
            which.push_back(i);
        }
        if (::poll(polled.data(), polled.size(), 100) <= 0) continue;
        for (std::size_t k = 0; k < polled.size(); ++k) {
            Client& c = clients[which[k]];
            if (polled[k].revents == 0) continue;
            if (!c.sent) {
                const std::string request =
                    "GET /n" + std::to_string(which[k]) + " HTTP/1.0\r\n\r\n";
                c.sent = ::send(c.fd, request.data(), request.size(), MSG_NOSIGNAL) ==
                         static_cast<ssize_t>(request.size());
                if (!c.sent) c.done = true;  // refused or reset: counted as unanswered
                continue;
            }
            char buffer[1024];
            const ssize_t n = ::recv(c.fd, buffer, sizeof buffer, 0);
            if (n > 0) {
                c.reply.append(buffer, static_cast<std::size_t>(n));
            } else {
                c.done = true;
                if (c.reply.rfind("HTTP/1.1 200 OK", 0) == 0) ++answered;
            }
        }
    }
    for (const Client& c : clients) ::close(c.fd);
    EXPECT_EQ(answered, kClients);
}

TEST(HttpServer, StopFreesThePortAndIsIdempotent) {
    auto server = EchoServer();
    const int port = server->Port();
    const int waiting = Connect(port);  // a connection still sending its head
    Send(waiting, "GET / HT");
    EXPECT_EQ(HttpServer::Start("127.0.0.1", port, {}), nullptr);  // busy
    server->Stop();
    server->Stop();
    EXPECT_EQ(ReadToEnd(waiting), "");
    ::close(waiting);
    EXPECT_NE(HttpServer::Start("127.0.0.1", port, {}), nullptr);
}

}  // namespace
