#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "platform/http_request_head.h"

struct HttpAnswer {
    int status = 200;
    std::string contentType = "text/plain; charset=utf-8";
    std::string body;
};

struct HttpServerOptions {
    // From the connection's accept to the end of its request head: a client that sends slower
    // is dropped, however steadily it trickles.
    std::chrono::milliseconds headTimeout{5000};
    // Answers are worked out on at most this many threads, started as they are needed.
    std::size_t maxWorkers = 64;
    // Connections still sending their head; more wait in the listen backlog.
    std::size_t maxPendingConnections = 4096;
    // Whole requests waiting for a worker; more are answered 503 at once.
    std::size_t maxQueuedRequests = 4096;
    // The longest request body taken (POST with Content-Length); a longer one is refused
    // (413) before it is read. 0: no bodies.
    std::size_t maxBodyBytes = 0;
    // From the end of the head to the end of the body.
    std::chrono::milliseconds bodyTimeout{30000};
    int backlog = 1024;
    std::chrono::milliseconds sendTimeout{10000};
};

// A small HTTP/1.x server for the lookup service. One thread polls the listening socket and
// every connection until its head is whole (kMaxHttpHeadBytes at most, headTimeout from its
// accept), so slow clients cost a descriptor and a buffer each and hold no worker. Whole GET
// and HEAD requests go to the workers, which call the handler, answer and close
// ("Connection: close": one request per connection). A POST's body (Content-Length only) is
// read by the same thread before it goes to a worker.
class HttpServer final {
  public:
    using Handler = std::function<HttpAnswer(const HttpRequestHead& head, std::string body)>;

    // Listens on bindAddress:port (0: an ephemeral port). nullptr when it cannot.
    static std::unique_ptr<HttpServer> Start(const std::string& bindAddress, int port,
                                             Handler handler, HttpServerOptions options = {});
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    int Port() const;
    // Stops listening, drops connections still sending and waits for the workers' answers
    // in progress. Idempotent; the destructor calls it.
    void Stop();

  private:
    struct State;
    explicit HttpServer(std::unique_ptr<State> state);
    std::unique_ptr<State> m_state;
};
