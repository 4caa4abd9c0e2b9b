#include "platform/web_fetch.h"

#include <curl/curl.h>
#include <sys/socket.h>

#include "platform/curl_global.h"
#include "platform/public_address.h"

namespace {

struct Transfer {
    std::string body;
    std::size_t cap = 0;
    bool tooLarge = false;
    bool refused = false;
};

std::size_t OnData(char* data, std::size_t size, std::size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    const std::size_t bytes = size * count;
    if (transfer->body.size() + bytes > transfer->cap) {
        transfer->tooLarge = true;
        return 0;  // aborts the transfer
    }
    transfer->body.append(data, bytes);
    return bytes;
}

int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<const std::atomic<bool>*>(user)->load() ? 1 : 0;
}

curl_socket_t OpenPublicSocket(void* user, curlsocktype purpose, curl_sockaddr* address) {
    if (purpose != CURLSOCKTYPE_IPCXN || !IsPublicAddress(&address->addr)) {
        static_cast<Transfer*>(user)->refused = true;
        return CURL_SOCKET_BAD;
    }
    return socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
}

}  // namespace

WebSession::WebSession() : m_share(nullptr) {
    EnsureCurlInitialised();
    CURLSH* share = curl_share_init();
    if (share != nullptr) curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
    m_share = share;
}

WebSession::~WebSession() {
    if (m_share != nullptr) curl_share_cleanup(static_cast<CURLSH*>(m_share));
}

WebPage FetchWebPage(const std::string& url, const WebFetchOptions& options) {
    EnsureCurlInitialised();
    WebPage page;
    CURL* curl = curl_easy_init();
    if (curl == nullptr) return page;
    Transfer transfer;
    transfer.cap = options.cap;
    curl_slist* headers = nullptr;
    for (const std::string& header : options.headers) {
        headers = curl_slist_append(headers, header.c_str());
    }

    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, options.maxRedirects);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(options.timeout.count()));
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS,
                     static_cast<long>(options.connectTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(options.cap));
    curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &OnData);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    if (!options.userAgent.empty()) {
        curl_easy_setopt(curl, CURLOPT_USERAGENT, options.userAgent.c_str());
    }
    if (headers != nullptr) curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    if (options.session != nullptr && options.session->handle() != nullptr) {
        curl_easy_setopt(curl, CURLOPT_SHARE, options.session->handle());
        curl_easy_setopt(curl, CURLOPT_COOKIEFILE, "");
    }
    if (options.cancel != nullptr) {
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &OnProgress);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, options.cancel);
    }
    if (options.publicTargetsOnly) {
        curl_easy_setopt(curl, CURLOPT_PROXY, "");
        curl_easy_setopt(curl, CURLOPT_OPENSOCKETFUNCTION, &OpenPublicSocket);
        curl_easy_setopt(curl, CURLOPT_OPENSOCKETDATA, &transfer);
    }

    const CURLcode code = curl_easy_perform(curl);
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &page.status);
    const char* contentType = nullptr;
    if (curl_easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &contentType) == CURLE_OK && contentType) {
        page.contentType = contentType;
    }
    const char* finalUrl = nullptr;
    if (curl_easy_getinfo(curl, CURLINFO_EFFECTIVE_URL, &finalUrl) == CURLE_OK && finalUrl) {
        page.finalUrl = finalUrl;
    }
    if (code == CURLE_OK) {
        page.outcome = WebPage::Outcome::kOk;
        page.body = std::move(transfer.body);
    } else if (transfer.tooLarge || code == CURLE_FILESIZE_EXCEEDED) {
        page.outcome = WebPage::Outcome::kTooLarge;
    } else if (transfer.refused) {
        page.outcome = WebPage::Outcome::kRefusedTarget;
    }
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);
    return page;
}
