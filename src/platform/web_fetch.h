#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

// Cookies kept between the fetches that share one session (a search engine's pages).
// Fetches through one session must not run at the same time.
class WebSession final {
  public:
    WebSession();
    ~WebSession();
    WebSession(const WebSession&) = delete;
    WebSession& operator=(const WebSession&) = delete;
    void* handle() const { return m_share; }

  private:
    void* m_share;
};

struct WebFetchOptions {
    std::size_t cap = 2 * 1024 * 1024;
    std::chrono::milliseconds timeout{15000};
    std::chrono::milliseconds connectTimeout{8000};
    long maxRedirects = 5;
    // Refuses every connection, redirects included, to a non-public address; such a
    // fetch also ignores proxies, since a proxy would reach the address for us.
    bool publicTargetsOnly = false;
    std::string userAgent;
    std::vector<std::string> headers;  // "Name: value"
    WebSession* session = nullptr;
    // When set to true (by another thread), the fetch ends at once as failed.
    const std::atomic<bool>* cancel = nullptr;
};

struct WebPage {
    enum class Outcome { kOk, kFailed, kTooLarge, kRefusedTarget };
    Outcome outcome = Outcome::kFailed;
    long status = 0;
    std::string body;  // content-decoded (gzip etc.)
    std::string contentType;
    std::string finalUrl;
};

// GET of an http or https URL, following redirects up to the limit.
WebPage FetchWebPage(const std::string& url, const WebFetchOptions& options);
