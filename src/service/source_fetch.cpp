#include "service/source_fetch.h"

#include <algorithm>

namespace {

constexpr std::size_t kPageCap = 2 * 1024 * 1024;

// Search engines and many sites answer a browser differently from an unknown client.
constexpr const char* kUserAgent =
    "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/120.0.0.0 Safari/537.36";

}  // namespace

WebFetchOptions SourceFetchOptions(const SourceContext& context) {
    WebFetchOptions options;
    options.cancel = &context.stopping;
    options.cap = kPageCap;
    options.timeout = context.settings.fetchTimeout;
    options.connectTimeout =
        std::min(context.settings.fetchTimeout, std::chrono::milliseconds(8000));
    options.maxRedirects = 5;
    options.userAgent = kUserAgent;
    options.headers = {"Accept: text/html,application/xhtml+xml,*/*;q=0.8",
                       "Accept-Language: zh-CN,zh;q=0.9,en;q=0.6"};
    return options;
}
