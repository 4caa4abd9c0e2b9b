#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

// Bounds of one fetch, so that a silent or endless server cannot hold the caller forever.
struct FetchLimits {
    std::chrono::milliseconds connectTimeout{15'000};
    std::chrono::milliseconds totalTimeout{60'000};
    std::size_t maxBytes = 4 * 1024 * 1024;  // a longer reply counts as no reply
    // When set, a fetch gives up (with what arrived so far) soon after it becomes true, and
    // one started afterwards sends nothing: a program that is ending does not wait out the
    // time-outs.
    const std::atomic<bool>* cancel = nullptr;
};

// The request URL as it goes to the wire: everything from the first "#" on is dropped, and
// every byte of the path and query that cannot stand in a request line is percent-encoded.
std::string SafeRequestUrl(std::string_view url);

// Appends `bytes` with every byte that cannot stand in a request line percent-encoded, as
// SafeRequestUrl does to the path and query.
void AppendRequestSafe(std::string& out, std::string_view bytes);

// An HTTP/1.0 GET of `url` on a new connection; the body of whatever reply comes, whatever
// its status. Empty when nothing arrived, when the URL is empty or unusable, and when the
// reply is longer than `limits.maxBytes`; a transfer that breaks off midway gives the bytes
// received until then. Never throws; safe to call from any thread.
std::string HttpGet(std::string_view url, const FetchLimits& limits = {});

// An HTTP/1.0 POST of `body` to `url` on a new connection, redirects not followed; the
// status of the reply, 0 when none came. The body is sent from where it lies, not copied.
long HttpPost(std::string_view url, std::string_view body, const char* contentType,
              const FetchLimits& limits = {});
