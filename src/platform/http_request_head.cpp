#include "platform/http_request_head.h"

namespace {

std::size_t SkipLineEnds(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size() && (bytes[i] == '\r' || bytes[i] == '\n')) ++i;
    return i;
}

bool IsTargetByte(char c) {
    const auto b = static_cast<unsigned char>(c);
    return b > 0x20 && b != 0x7F;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

}  // namespace

std::size_t HttpHeadEnd(std::string_view bytes) {
    const std::size_t start = SkipLineEnds(bytes);
    for (std::size_t i = bytes.find('\n', start); i != std::string_view::npos;
         i = bytes.find('\n', i + 1)) {
        if (i + 1 < bytes.size() && bytes[i + 1] == '\n') return i + 2;
        if (i + 2 < bytes.size() && bytes[i + 1] == '\r' && bytes[i + 2] == '\n') return i + 3;
    }
    return std::string_view::npos;
}

std::optional<HttpRequestHead> ParseHttpRequestHead(std::string_view head) {
    head.remove_prefix(SkipLineEnds(head));
    std::string_view line = head.substr(0, head.find('\n'));
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    HttpRequestHead parsed;
    const std::size_t methodEnd = line.find(' ');
    if (methodEnd == std::string_view::npos || methodEnd == 0 || methodEnd > 16)
        return std::nullopt;
    for (const char c : line.substr(0, methodEnd)) {
        if (c < 'A' || c > 'Z') return std::nullopt;
    }
    parsed.method = line.substr(0, methodEnd);

    const std::string_view rest = line.substr(methodEnd + 1);
    const std::size_t targetEnd = rest.find(' ');
    if (targetEnd == std::string_view::npos || targetEnd == 0) return std::nullopt;
    std::string_view target = rest.substr(0, targetEnd);
    for (const char c : target) {
        if (!IsTargetByte(c)) return std::nullopt;
    }
    for (const std::string_view scheme : {"http://", "https://"}) {
        if (StartsWithNoCase(target, scheme)) {
            const std::size_t path = target.find('/', scheme.size());
            target = path == std::string_view::npos ? "/" : target.substr(path);
            break;
        }
    }
    if (target.front() != '/') return std::nullopt;
    parsed.target = target;

    const std::string_view version = rest.substr(targetEnd + 1);
    if (version.size() != 8 || version.substr(0, 7) != "HTTP/1." || version[7] < '0' ||
        version[7] > '9') {
        return std::nullopt;
    }
    parsed.minorVersion = version[7] - '0';

    std::optional<std::size_t> length;
    std::size_t next = head.find('\n');
    while (next != std::string_view::npos) {
        std::string_view field = head.substr(next + 1);
        next = head.find('\n', next + 1);
        field = field.substr(0, field.find('\n'));
        if (!field.empty() && field.back() == '\r') field.remove_suffix(1);
        const std::size_t colon = field.find(':');
        if (colon == std::string_view::npos) continue;
        std::string_view value = field.substr(colon + 1);
        while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
            value.remove_prefix(1);
        while (!value.empty() && (value.back() == ' ' || value.back() == '\t'))
            value.remove_suffix(1);
        const std::string_view name = field.substr(0, colon);
        if (name.size() == 17 && StartsWithNoCase(name, "transfer-encoding")) parsed.chunked = true;
        if (name.size() != 14 || !StartsWithNoCase(name, "content-length")) continue;
        if (value.empty() || value.size() > 15 ||
            value.find_first_not_of("0123456789") != std::string_view::npos) {
            return std::nullopt;
        }
        const std::size_t n = std::stoull(std::string(value));
        if (length && *length != n) return std::nullopt;
        length = n;
    }
    parsed.contentLength = length.value_or(0);
    return parsed;
}
