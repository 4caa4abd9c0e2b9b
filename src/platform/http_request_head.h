#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The request line of an HTTP/1.x request.
struct HttpRequestHead {
    std::string method;  // "GET"
    std::string target;  // origin form, "/get.php?..." (an absolute form is cut to it)
    int minorVersion = 0;
    std::size_t contentLength = 0;  // from Content-Length; 0 without one
    bool chunked = false;           // a Transfer-Encoding was named (not read: refused)
};

// The longest request head the service reads; a longer one is refused.
constexpr std::size_t kMaxHttpHeadBytes = 8192;

// Where the head ends in `bytes` (just past its blank line; empty lines before the request
// line are skipped), or npos while it is incomplete.
std::size_t HttpHeadEnd(std::string_view bytes);

// Reads the request line of a whole head, "METHOD SP TARGET SP HTTP/1.x", and the body's
// framing from the header lines. nullopt when it is not one, or Content-Length is unreadable
// or named twice with different values.
std::optional<HttpRequestHead> ParseHttpRequestHead(std::string_view head);
