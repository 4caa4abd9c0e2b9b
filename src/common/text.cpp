#include "common/text.h"

#include <cctype>
#include <charconv>

namespace {

bool IsLeadByte(char c) {
    return (static_cast<unsigned char>(c) & 0x80) != 0;
}

// Maps the full-width and a few other double-byte characters to ASCII, as TextToNumber reads.
std::string NarrowFullWidth(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80 || i + 1 >= text.size()) {
            out.push_back(text[i]);
            continue;
        }
        const auto trail = static_cast<unsigned char>(text[i + 1]);
        if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
            out.push_back(static_cast<char>(trail - 0xA1 + 0x21));
        } else if (lead == 0xA1 && trail == 0xA1) {
            out.push_back(' ');
        } else if (lead == 0xA1 && trail == 0xAB) {
            out.push_back('~');
        } else if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF)) {
            out.push_back('*');
        } else {
            out.push_back(text[i]);
            out.push_back(text[i + 1]);
        }
        ++i;
    }
    return out;
}

}  // namespace

Text ConcatText(std::initializer_list<std::string_view> parts) {
    std::size_t size = 0;
    for (auto p : parts) size += p.size();
    Text out;
    out.reserve(size);
    for (auto p : parts) out.append(p);
    return out;
}

int CompareText(std::string_view a, std::string_view b) {
    const int c = a.compare(b);  // char_traits<char>::compare is unsigned, like memcmp
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

int FindText(std::string_view text, std::string_view sought, int start) {
    std::size_t p = start < 1 ? 0 : static_cast<std::size_t>(start - 1);
    const std::size_t n = sought.size();
    while (p < text.size() && text.size() - p >= n) {
        if (text.compare(p, n, sought) == 0) return static_cast<int>(p + 1);
        if (IsLeadByte(text[p])) {
            if (p + 1 == text.size()) return -1;
            p += 2;
        } else {
            p += 1;
        }
    }
    return -1;
}

Text IntToText(std::int32_t value) {
    return std::to_string(value);
}

double TextToNumber(std::string_view text) {
    const std::string narrow = NarrowFullWidth(text);
    std::string_view rest = narrow;
    while (!rest.empty() && std::isspace(static_cast<unsigned char>(rest.front()))) {
        rest.remove_prefix(1);
    }
    bool negative = false;
    if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
        negative = rest.front() == '-';
        rest.remove_prefix(1);
    }
    // Only a plain decimal number counts: from_chars would also take "inf" and "nan".
    const std::size_t digit = rest.starts_with('.') ? 1 : 0;
    if (rest.size() <= digit || !std::isdigit(static_cast<unsigned char>(rest[digit]))) return 0.0;
    double value = 0.0;
    std::from_chars(rest.data(), rest.data() + rest.size(), value, std::chars_format::general);
    return negative ? -value : value;
}

Text BytesToText(std::string_view bytes) {
    const auto zero = bytes.find('\0');
    return Text(zero == std::string_view::npos ? bytes : bytes.substr(0, zero));
}

std::vector<Text> SplitText(std::string_view text, std::string_view separator) {
    std::vector<Text> members;
    if (text.empty()) return members;
    if (separator.empty()) {
        members.emplace_back(text);
        return members;
    }
    const std::size_t s = separator.size();
    std::size_t p = 0;
    std::size_t m = 0;
    while (text.size() - p >= s) {
        if (text.compare(p, s, separator) == 0) {
            members.emplace_back(text.substr(m, p - m));
            p += s;
            m = p;
        } else if (IsLeadByte(text[p])) {
            if (p + 1 == text.size()) break;
            p += 2;
        } else {
            p += 1;
        }
    }
    if (m < text.size()) members.emplace_back(text.substr(m));
    return members;
}
