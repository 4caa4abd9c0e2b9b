#include "service/html_text.h"

#include <array>
#include <functional>
#include <utility>

#include "service/utf8.h"

namespace {

bool IsAsciiSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

bool IsAlpha(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Position of `needle` (lower case) in `text` at or after `from`, ignoring ASCII case.
std::size_t FindNoCase(std::string_view text, std::string_view needle, std::size_t from) {
    if (needle.empty() || text.size() < needle.size()) return std::string_view::npos;
    for (std::size_t i = from; i + needle.size() <= text.size(); ++i) {
        std::size_t k = 0;
        while (k < needle.size() && Lower(text[i + k]) == needle[k]) ++k;
        if (k == needle.size()) return i;
    }
    return std::string_view::npos;
}

struct Tag {
    std::string name;  // lower case
    bool closing = false;
    std::string_view attributes;
};

// Walks the page: `onText` gets the text between tags, `onTag` each tag. The contents of
// raw-text elements (script, style, textarea, title) reach `onText` whole. A handler that
// returns false stops the walk.
void WalkHtml(std::string_view html, const std::function<bool(std::string_view)>& onText,
              const std::function<bool(const Tag&, std::string_view rawContent)>& onTag) {
    std::size_t i = 0;
    while (i < html.size()) {
        const std::size_t open = html.find('<', i);
        if (open == std::string_view::npos) {
            onText(html.substr(i));
            return;
        }
        if (open > i && !onText(html.substr(i, open - i))) return;
        if (html.compare(open, 4, "<!--") == 0) {
            const std::size_t end = html.find("-->", open + 4);
            i = end == std::string_view::npos ? html.size() : end + 3;
            continue;
        }
        std::size_t p = open + 1;
        Tag tag;
        if (p < html.size() && html[p] == '/') {
            tag.closing = true;
            ++p;
        }
        if (p >= html.size() || !IsAlpha(html[p])) {
            if (p < html.size() && (html[p] == '!' || html[p] == '?')) {
                const std::size_t end = html.find('>', p);  // doctype, processing instruction
                i = end == std::string_view::npos ? html.size() : end + 1;
                continue;
            }
            if (!onText(html.substr(open, 1))) return;
            i = open + 1;
            continue;
        }
        while (p < html.size() && !IsAsciiSpace(html[p]) && html[p] != '>' && html[p] != '/') {
            tag.name += Lower(html[p++]);
        }
        // Attributes run to the first '>' outside quotes.
        const std::size_t attributesStart = p;
        char quote = 0;
        while (p < html.size() && (quote != 0 || html[p] != '>')) {
            if (quote != 0) {
                if (html[p] == quote) quote = 0;
            } else if ((html[p] == '"' || html[p] == '\'') &&
                       (IsAsciiSpace(html[p - 1]) || html[p - 1] == '=')) {
                quote = html[p];
            }
            ++p;
        }
        tag.attributes = html.substr(attributesStart, p - attributesStart);
        i = p < html.size() ? p + 1 : html.size();
        std::string_view raw;
        static constexpr std::array<std::string_view, 4> kRawText = {"script", "style", "textarea",
                                                                     "title"};
        bool isRaw = false;
        for (std::string_view name : kRawText) isRaw = isRaw || tag.name == name;
        if (isRaw && !tag.closing) {
            const std::string close = "</" + tag.name;
            const std::size_t end = FindNoCase(html, close, i);
            raw = html.substr(i, (end == std::string_view::npos ? html.size() : end) - i);
            if (!onTag(tag, raw)) return;
            if (!onText(raw)) return;
            if (end == std::string_view::npos) return;
            const std::size_t gt = html.find('>', end);
            i = gt == std::string_view::npos ? html.size() : gt + 1;
            continue;
        }
        if (!onTag(tag, raw)) return;
    }
}

struct NamedEntity {
    std::string_view name;
    char32_t code;
};

constexpr NamedEntity kEntities[] = {
    {"amp", U'&'},     {"lt", U'<'},      {"gt", U'>'},       {"quot", U'"'},    {"apos", U'\''},
    {"nbsp", 0xA0},    {"copy", 0xA9},    {"reg", 0xAE},      {"trade", 0x2122}, {"middot", 0xB7},
    {"mdash", 0x2014}, {"ndash", 0x2013}, {"hellip", 0x2026}, {"laquo", 0xAB},   {"raquo", 0xBB},
    {"ldquo", 0x201C}, {"rdquo", 0x201D}, {"lsquo", 0x2018},  {"rsquo", 0x2019}, {"bull", 0x2022},
    {"times", 0xD7},   {"divide", 0xF7},  {"deg", 0xB0},      {"yen", 0xA5},     {"euro", 0x20AC},
    {"pound", 0xA3},   {"cent", 0xA2},    {"sect", 0xA7},     {"para", 0xB6},    {"plusmn", 0xB1},
    {"ensp", 0x2002},  {"emsp", 0x2003},  {"thinsp", 0x2009}, {"zwnj", 0x200C},  {"zwj", 0x200D},
    {"lrm", 0x200E},   {"rlm", 0x200F},   {"iexcl", 0xA1},    {"iquest", 0xBF},  {"acute", 0xB4},
    {"eacute", 0xE9},  {"egrave", 0xE8},  {"agrave", 0xE0},   {"aacute", 0xE1},  {"ouml", 0xF6},
    {"uuml", 0xFC},    {"auml", 0xE4},    {"szlig", 0xDF},    {"ccedil", 0xE7},  {"ntilde", 0xF1},
    {"larr", 0x2190},  {"rarr", 0x2192},  {"uarr", 0x2191},   {"darr", 0x2193},  {"hearts", 0x2665},
    {"star", 0x2606},
};

}  // namespace

std::string DecodeEntities(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] != '&') {
            out += text[i++];
            continue;
        }
        const std::size_t semi = text.find(';', i + 1);
        if (semi != std::string_view::npos && semi - i <= 12) {
            const std::string_view body = text.substr(i + 1, semi - i - 1);
            if (body.size() >= 2 && body[0] == '#') {
                const bool hex = body[1] == 'x' || body[1] == 'X';
                const std::string_view digits = body.substr(hex ? 2 : 1);
                char32_t code = 0;
                bool ok = !digits.empty() && digits.size() <= 8;
                for (char c : digits) {
                    int d = -1;
                    if (c >= '0' && c <= '9') d = c - '0';
                    if (hex && c >= 'a' && c <= 'f') d = c - 'a' + 10;
                    if (hex && c >= 'A' && c <= 'F') d = c - 'A' + 10;
                    if (d < 0) ok = false;
                    if (ok) code = code * (hex ? 16 : 10) + static_cast<char32_t>(d);
                }
                if (ok) {
                    AppendUtf8(out, code == 0 ? 0xFFFD : code);
                    i = semi + 1;
                    continue;
                }
            } else {
                bool found = false;
                for (const NamedEntity& entity : kEntities) {
                    if (entity.name == body) {
                        AppendUtf8(out, entity.code);
                        found = true;
                        break;
                    }
                }
                if (found) {
                    i = semi + 1;
                    continue;
                }
            }
        }
        out += text[i++];
    }
    return out;
}

std::string CollapseBlanks(std::string_view text) {
    std::string out;
    bool pendingBlank = false;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r') {
            pendingBlank = !out.empty();
            continue;
        }
        if (c < 0x20 || c == 0x7F) continue;  // invisible in a browser's title bar
        if (pendingBlank) out += ' ';
        pendingBlank = false;
        out += ch;
    }
    return out;
}

std::optional<std::string> FirstTitle(std::string_view html) {
    std::optional<std::string> title;
    WalkHtml(
        html, [](std::string_view) { return true; },
        [&title](const Tag& tag, std::string_view raw) {
            if (tag.name != "title" || tag.closing) return true;
            title = CollapseBlanks(DecodeEntities(raw));
            return false;
        });
    return title;
}

std::optional<std::string> TagAttribute(std::string_view attributes, std::string_view name) {
    std::size_t i = 0;
    while (i < attributes.size()) {
        while (i < attributes.size() && (IsAsciiSpace(attributes[i]) || attributes[i] == '/')) ++i;
        const std::size_t nameStart = i;
        while (i < attributes.size() && !IsAsciiSpace(attributes[i]) && attributes[i] != '=' &&
               attributes[i] != '/') {
            ++i;
        }
        std::string attributeName;
        for (std::size_t k = nameStart; k < i; ++k) attributeName += Lower(attributes[k]);
        while (i < attributes.size() && IsAsciiSpace(attributes[i])) ++i;
        std::string value;
        if (i < attributes.size() && attributes[i] == '=') {
            ++i;
            while (i < attributes.size() && IsAsciiSpace(attributes[i])) ++i;
            if (i < attributes.size() && (attributes[i] == '"' || attributes[i] == '\'')) {
                const char quote = attributes[i++];
                const std::size_t end = attributes.find(quote, i);
                const std::size_t stop = end == std::string_view::npos ? attributes.size() : end;
                value = std::string(attributes.substr(i, stop - i));
                i = stop + 1;
            } else {
                const std::size_t start = i;
                while (i < attributes.size() && !IsAsciiSpace(attributes[i])) ++i;
                value = std::string(attributes.substr(start, i - start));
            }
        }
        if (!attributeName.empty() && attributeName == name) return value;
        if (i == nameStart) ++i;  // a stray character: step over it
    }
    return std::nullopt;
}

std::vector<std::string> LinkTargets(std::string_view html) {
    std::vector<std::string> targets;
    WalkHtml(
        html, [](std::string_view) { return true; },
        [&targets](const Tag& tag, std::string_view) {
            if (!tag.closing && (tag.name == "a" || tag.name == "area")) {
                if (auto href = TagAttribute(tag.attributes, "href")) {
                    targets.push_back(DecodeEntities(*href));
                }
            }
            return true;
        });
    return targets;
}

std::string StripTags(std::string_view html) {
    std::string text;
    WalkHtml(
        html,
        [&text](std::string_view part) {
            text += part;
            return true;
        },
        [&text](const Tag&, std::string_view) {
            text += ' ';
            return true;
        });
    return DecodeEntities(text);
}
