#include "service/utf8.h"

namespace {

// The length of the well-formed sequence at `i`, or 0; `matched` gets the length of the
// longest prefix that could still begin one (at least 1), the part a decoder replaces.
std::size_t SequenceAt(std::string_view bytes, std::size_t i, std::size_t& matched) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    matched = 1;
    if (lead < 0x80) return 1;
    std::size_t follow = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;  // the second byte's range; later ones are always 80..BF
    if (lead >= 0xC2 && lead <= 0xDF) {
        follow = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        follow = 2;
        if (lead == 0xE0) low = 0xA0;   // no overlong forms
        if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        follow = 3;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;  // nothing past U+10FFFF
    } else {
        return 0;  // a trail byte, C0, C1 or F5..FF (the old 5- and 6-byte forms)
    }
    for (std::size_t k = 1; k <= follow; ++k) {
        if (i + k >= bytes.size()) return 0;
        const auto b = static_cast<unsigned char>(bytes[i + k]);
        if (b < (k == 1 ? low : 0x80) || b > (k == 1 ? high : 0xBF)) return 0;
        matched = k + 1;
    }
    return follow + 1;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        std::size_t matched = 0;
        const std::size_t length = SequenceAt(bytes, i, matched);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

std::string ValidUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        std::size_t matched = 0;
        const std::size_t length = SequenceAt(bytes, i, matched);
        if (length == 0) {
            AppendUtf8(out, 0xFFFD);
            i += matched;
        } else {
            out.append(bytes.substr(i, length));
            i += length;
        }
    }
    return out;
}

void AppendUtf8(std::string& out, char32_t code) {
    if ((code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) code = 0xFFFD;
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::string AsciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}
