#include "service/site_address.h"

#include <arpa/inet.h>
#include <idn2.h>
#include <libpsl.h>

#include <cstdlib>

#include "platform/encoding.h"
#include "service/utf8.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

bool IsNumericAddress(const std::string& host, int family) {
    unsigned char buffer[16];
    return inet_pton(family, host.c_str(), buffer) == 1;
}

std::optional<std::string> ToAscii(const std::string& host) {
    bool ascii = true;
    for (char c : host) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) return AsciiLower(host);
    char* out = nullptr;
    if (idn2_to_ascii_8z(host.c_str(), &out, IDN2_NONTRANSITIONAL | IDN2_NFC_INPUT) != IDN2_OK) {
        if (out != nullptr) idn2_free(out);
        return std::nullopt;
    }
    std::string converted = AsciiLower(out);
    idn2_free(out);
    return converted;
}

bool IsSoundHostName(std::string_view host) {
    if (host.empty() || host.size() > 253) return false;
    std::size_t label = 0;
    for (char c : host) {
        if (c == '.') {
            if (label == 0) return false;
            label = 0;
            continue;
        }
        const bool ok = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
        if (!ok || ++label > 63) return false;
    }
    return label > 0;
}

}  // namespace

std::optional<SiteAddress> ParseSiteAddress(std::string_view address) {
    while (!address.empty() && IsBlank(address.front())) address.remove_prefix(1);
    while (!address.empty() && IsBlank(address.back())) address.remove_suffix(1);
    std::string text = IsValidUtf8(address) ? std::string(address) : Gb18030ToUtf8(address);
    const std::string lower = AsciiLower(text.substr(0, 8));
    if (lower.rfind("http://", 0) == 0) {
        text.erase(0, 7);
    } else if (lower.rfind("https://", 0) == 0) {
        text.erase(0, 8);
    }
    text = text.substr(0, text.find_first_of("/?#\\"));
    // inet_pton stops at a zero byte: "8.8.8.8\0x" would pass as numeric with the rest kept.
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return std::nullopt;
    }
    if (text.find('@') != std::string::npos) return std::nullopt;

    SiteAddress site;
    std::string port;
    if (!text.empty() && text.front() == '[') {
        const std::size_t close = text.find(']');
        if (close == std::string::npos) return std::nullopt;
        site.host = AsciiLower(text.substr(1, close - 1));
        const std::string rest = text.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':') return std::nullopt;
            port = rest.substr(1);
        }
        if (!IsNumericAddress(site.host, AF_INET6)) return std::nullopt;
        site.numeric = true;
    } else {
        const std::size_t colon = text.rfind(':');
        if (colon != std::string::npos) {
            port = text.substr(colon + 1);
            text.erase(colon);
        }
        while (!text.empty() && text.back() == '.') text.pop_back();
        const auto ascii = ToAscii(text);
        if (!ascii) return std::nullopt;
        site.host = *ascii;
        site.numeric = IsNumericAddress(site.host, AF_INET);
        if (!site.numeric && !IsSoundHostName(site.host)) return std::nullopt;
    }
    if (!port.empty()) {
        if (port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos ||
            std::atoi(port.c_str()) < 1 || std::atoi(port.c_str()) > 65535) {
            return std::nullopt;
        }
    }
    const bool v6 = site.host.find(':') != std::string::npos;
    site.hostPort = v6 ? "[" + site.host + "]" : site.host;
    if (!port.empty()) site.hostPort += ":" + port;
    return site;
}

std::string RegisteredDomain(const std::string& host) {
    static const psl_ctx_t* const list = [] {
        const psl_ctx_t* latest = psl_latest(nullptr);
        return latest != nullptr ? latest : psl_builtin();
    }();
    if (list == nullptr || IsNumericAddress(host, AF_INET) || IsNumericAddress(host, AF_INET6)) {
        return host;
    }
    const char* domain = psl_registrable_domain(list, host.c_str());
    return domain != nullptr ? std::string(domain) : host;
}

std::string_view WithoutWww(std::string_view host) {
    if (host.size() > 4 && host.substr(0, 4) == "www.") host.remove_prefix(4);
    return host;
}
