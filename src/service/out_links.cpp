#include "service/out_links.h"

#include <unordered_set>

#include "service/html_text.h"
#include "service/site_address.h"
#include "service/utf8.h"

namespace {

std::string_view TrimBlanks(std::string_view text) {
    const auto blank = [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
    };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

// The URL after "scheme:" when it is http(s) or scheme-relative, from "//"; else empty.
std::string_view AfterScheme(std::string_view url) {
    const std::string head = AsciiLower(url.substr(0, 8));
    if (head.rfind("http://", 0) == 0) return url.substr(5);
    if (head.rfind("https://", 0) == 0) return url.substr(6);
    if (url.substr(0, 2) == "//") return url;
    return {};
}

}  // namespace

std::string UrlHost(std::string_view url) {
    std::string_view rest = AfterScheme(TrimBlanks(url));
    if (rest.size() < 2) return {};
    rest.remove_prefix(2);
    std::string_view authority = rest.substr(0, rest.find_first_of("/?#\\"));
    const std::size_t at = authority.rfind('@');
    if (at != std::string_view::npos) authority.remove_prefix(at + 1);
    if (!authority.empty() && authority.front() == '[') {
        const std::size_t close = authority.find(']');
        return AsciiLower(
            authority.substr(1, close == std::string_view::npos ? authority.size() : close - 1));
    }
    std::string host = AsciiLower(authority.substr(0, authority.find(':')));
    while (!host.empty() && host.back() == '.') host.pop_back();
    return host;
}

long CountOutboundLinks(std::string_view htmlUtf8, const std::vector<std::string>& ownHosts) {
    std::unordered_set<std::string> own;
    for (const std::string& host : ownHosts) own.emplace(WithoutWww(host));
    std::unordered_set<std::string> targets;
    for (const std::string& href : LinkTargets(htmlUtf8)) {
        const std::string host = UrlHost(href);
        if (host.empty() || own.count(std::string(WithoutWww(host))) != 0) continue;
        std::string_view rest = AfterScheme(TrimBlanks(href)).substr(2);
        rest = rest.substr(0, rest.find('#'));
        const std::size_t pathAt = rest.find_first_of("/?");
        std::string target = host;
        if (pathAt == std::string_view::npos || rest[pathAt] == '?') target += '/';
        if (pathAt != std::string_view::npos) target += rest.substr(pathAt);
        targets.insert(std::move(target));
    }
    return static_cast<long>(targets.size());
}
