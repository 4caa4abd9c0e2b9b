#pragma once

#include <httplib.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "service/lookup_service.h"
#include "service/service_settings.h"

// A web server on 127.0.0.1 with an ephemeral port that records every request it gets.
class FakeWeb final {
  public:
    struct Seen {
        std::string target;
        httplib::Headers headers;
        std::chrono::steady_clock::time_point at;
    };

    FakeWeb();
    ~FakeWeb();
    FakeWeb(const FakeWeb&) = delete;
    FakeWeb& operator=(const FakeWeb&) = delete;

    // Add handlers before Start.
    httplib::Server& server() { return m_server; }
    void Start();
    int port() const { return m_port; }
    std::string HostPort() const { return "127.0.0.1:" + std::to_string(m_port); }
    std::string Url(const std::string& path) const { return "http://" + HostPort() + path; }
    std::vector<Seen> Requests();
    std::size_t RequestCount() { return Requests().size(); }

  private:
    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
    std::mutex m_mutex;
    std::vector<Seen> m_seen;
};

// Settings that reach nothing outside loopback: engines, WHOIS and the PageRank API point at
// a closed local port unless a test points them elsewhere.
ServiceSettings LoopbackSettings();

// The tag the protocol pairs with a kind.
std::string TagOf(const std::string& kind);

// GET of a raw request target over HTTP/1.0, as the program sends it; the body, or
// "<no reply>" when the service did not answer.
std::string GetHttp10(int port, const std::string& target);

// Asks the service for one figure (the address percent-encoded) over HTTP/1.0.
std::string Ask(const LookupService& service, const std::string& kind, const std::string& address);

// Polls `condition` until it holds or five seconds pass.
bool WaitUntil(const std::function<bool()>& condition);

// A WHOIS server on 127.0.0.1 (plain TCP, one query line per connection) that answers by
// a function of the query and records the queries.
class FakeWhois final {
  public:
    explicit FakeWhois(std::function<std::string(const std::string& query)> answer);
    ~FakeWhois();
    FakeWhois(const FakeWhois&) = delete;
    FakeWhois& operator=(const FakeWhois&) = delete;

    int port() const { return m_port; }
    std::vector<std::string> Queries();

  private:
    void Serve();

    std::function<std::string(const std::string&)> m_answer;
    int m_listener = -1;
    int m_port = 0;
    std::thread m_thread;
    std::mutex m_mutex;
    std::vector<std::string> m_queries;
};
