#include "platform/http_fetch.h"

#include <curl/curl.h>

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <string>

#include "platform/curl_global.h"

namespace {

constexpr const char* kUserAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
constexpr long kMaxRedirects = 10;

bool NeedsEncoding(unsigned char byte) {
    if (byte <= 0x20 || byte >= 0x7F) return true;  // control bytes, space, DEL, non-ASCII
    switch (byte) {
        case '"':
        case '<':
        case '>':
        case '\\':
        case '^':
        case '`':
        case '{':
        case '|':
        case '}':
            return true;
        default:
            return false;
    }
}

struct Body {
    std::string bytes;
    std::size_t maxBytes;
    bool overflow = false;
};

std::size_t AppendBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto* body = static_cast<Body*>(user);
    const std::size_t n = size * count;
    if (n > body->maxBytes - body->bytes.size()) {
        body->overflow = true;
        return 0;  // aborts the transfer
    }
    body->bytes.append(data, n);
    return n;
}

// libcurl asks this during the transfer (at least once a second while nothing moves); a
// non-zero answer aborts it.
int CheckCancel(void* cancel, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<const std::atomic<bool>*>(cancel)->load() ? 1 : 0;
}

// libcurl reads 0 as "no limit"; a limit is always kept.
long TimeoutMs(std::chrono::milliseconds limit) {
    return static_cast<long>(std::max<std::chrono::milliseconds::rep>(limit.count(), 1));
}

struct EasyDeleter {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};

struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

}  // namespace

std::string SafeRequestUrl(std::string_view url) {
    url = url.substr(0, url.find('#'));
    // The authority runs from after "scheme://" to the first "/" or "?"; only the object
    // after it (path and query) is encoded.
    const std::size_t schemeEnd = url.find("://");
    const std::size_t authorityStart = schemeEnd == std::string_view::npos ? 0 : schemeEnd + 3;
    const std::size_t objectStart = std::min(url.find_first_of("/?", authorityStart), url.size());

    std::string out(url.substr(0, objectStart));
    out.reserve(url.size() + 16);
    AppendRequestSafe(out, url.substr(objectStart));
    return out;
}

void AppendRequestSafe(std::string& out, std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (NeedsEncoding(byte)) {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        } else {
            out += c;
        }
    }
}

namespace {

using Easy = std::unique_ptr<CURL, EasyDeleter>;
using HeaderList = std::unique_ptr<curl_slist, ListDeleter>;

bool AppendHeaders(HeaderList& list, std::initializer_list<const char*> headers) {
    for (const char* header : headers) {
        curl_slist* longer = curl_slist_append(list.get(), header);
        if (!longer) return false;
        list.release();
        list.reset(longer);
    }
    return true;
}

// What every request of the program shares: HTTP/1.0 on a new connection, the user agent,
// the bounds and the cancel flag. False when the request must not be sent.
bool SetUpRequest(CURL* h, const std::string& target, curl_slist* headers, Body& body,
                  const FetchLimits& limits) {
    curl_easy_setopt(h, CURLOPT_URL, target.c_str());
    // The target is already safe; libcurl must neither reject nor rewrite it.
    curl_easy_setopt(h, CURLOPT_PATH_AS_IS, 1L);
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
    curl_easy_setopt(h, CURLOPT_USERAGENT, kUserAgent);
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(h, CURLOPT_FORBID_REUSE, 1L);
    // Signals would interrupt other threads of the program; time-outs work without them.
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, TimeoutMs(limits.connectTimeout));
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, TimeoutMs(limits.totalTimeout));
    curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBytes));
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &AppendBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &body);
    if (limits.cancel != nullptr) {
        if (limits.cancel->load()) return false;
        curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &CheckCancel);
        curl_easy_setopt(h, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(limits.cancel));
    }
    return true;
}

}  // namespace

std::string HttpGet(std::string_view url, const FetchLimits& limits) {
    if (url.empty()) return {};
    EnsureCurlInitialised();

    Easy curl(curl_easy_init());
    HeaderList headers;
    if (!curl || !AppendHeaders(headers, {"Cache-Control: no-cache", "Pragma: no-cache"})) {
        return {};
    }
    const std::string target = SafeRequestUrl(url);
    Body body{{}, limits.maxBytes};
    CURL* h = curl.get();
    if (!SetUpRequest(h, target, headers.get(), body, limits)) return {};
    curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, kMaxRedirects);

    const CURLcode result = curl_easy_perform(h);
    if (body.overflow || result == CURLE_FILESIZE_EXCEEDED) return {};
    // Any other failure keeps what arrived before it: a broken-off reply is still a reply.
    return std::move(body.bytes);
}

long HttpPost(std::string_view url, std::string_view body, const char* contentType,
              const FetchLimits& limits) {
    if (url.empty()) return 0;
    EnsureCurlInitialised();

    Easy curl(curl_easy_init());
    HeaderList headers;
    const std::string type = std::string("Content-Type: ") + contentType;
    if (!curl || !AppendHeaders(headers, {type.c_str(), "Expect:"})) return 0;
    const std::string target = SafeRequestUrl(url);
    Body reply{{}, limits.maxBytes};
    CURL* h = curl.get();
    if (!SetUpRequest(h, target, headers.get(), reply, limits)) return 0;
    curl_easy_setopt(h, CURLOPT_POST, 1L);
    curl_easy_setopt(h, CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));

    if (curl_easy_perform(h) != CURLE_OK) return 0;
    long status = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
    return status;
}
