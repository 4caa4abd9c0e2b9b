#include "service/page_charset.h"

#include <optional>

#include "platform/iconv_converter.h"
#include "service/html_text.h"
#include "service/utf8.h"

namespace {

// The charset parameter of a Content-Type value ("text/html; charset=gbk").
std::string CharsetParameter(std::string_view value) {
    const std::string lower = AsciiLower(value);
    const std::size_t at = lower.find("charset");
    if (at == std::string::npos) return {};
    std::size_t i = lower.find('=', at);
    if (i == std::string::npos) return {};
    ++i;
    while (i < lower.size() && (lower[i] == ' ' || lower[i] == '"' || lower[i] == '\'')) ++i;
    const std::size_t end = lower.find_first_of(" ;\"',>", i);
    return lower.substr(i, end == std::string::npos ? std::string::npos : end - i);
}

// Browsers read the common Chinese labels as their superset, and Latin-1 as windows-1252.
std::string IconvName(const std::string& label) {
    if (label.empty()) return {};
    if (label == "gb2312" || label == "gbk" || label == "x-gbk" || label == "gb_2312-80" ||
        label == "cp936" || label == "windows-936" || label == "gb18030" || label == "chinese" ||
        label == "csgb2312" || label == "iso-ir-58") {
        return "GB18030";
    }
    if (label == "utf8" || label == "utf-8" || label == "unicode-1-1-utf-8") return "UTF-8";
    if (label == "iso-8859-1" || label == "latin1" || label == "us-ascii" || label == "ascii") {
        return "WINDOWS-1252";
    }
    if (label == "big5") return "BIG5-HKSCS";
    if (label == "shift_jis" || label == "sjis" || label == "x-sjis") return "CP932";
    if (label == "euc-kr") return "CP949";
    std::string upper = label;
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

std::string MetaCharset(std::string_view body) {
    const std::string head = AsciiLower(body.substr(0, 8192));
    std::size_t at = 0;
    while ((at = head.find("<meta", at)) != std::string::npos) {
        const std::size_t end = head.find('>', at);
        const std::string_view attributes = std::string_view(head).substr(
            at + 5, (end == std::string::npos ? head.size() : end) - at - 5);
        if (auto charset = TagAttribute(attributes, "charset")) {
            return IconvName(CharsetParameter("charset=" + *charset));
        }
        const auto equiv = TagAttribute(attributes, "http-equiv");
        if (equiv && *equiv == "content-type") {
            if (auto content = TagAttribute(attributes, "content")) {
                const std::string name = IconvName(CharsetParameter(*content));
                if (!name.empty()) return name;
            }
        }
        at += 5;
    }
    return {};
}

std::optional<std::string> Convert(std::string_view body, const std::string& charset) {
    // glibc's UTF-8 decoder lets 5-byte forms and values past U+10FFFF through.
    if (charset == "UTF-8") return ValidUtf8(body);
    IconvConverter converter("UTF-8", charset.c_str());
    if (!converter.ok()) return std::nullopt;
    std::string out;
    while (!body.empty()) {
        std::size_t consumed = 0;
        if (converter.Convert(body.data(), body.size(), out, consumed) ==
            IconvConverter::Stop::kDone) {
            break;
        }
        AppendUtf8(out, 0xFFFD);
        body.remove_prefix(consumed + 1);
    }
    return ValidUtf8(out);
}

}  // namespace

std::string PageCharset(std::string_view body, std::string_view contentType) {
    if (body.substr(0, 3) == "\xEF\xBB\xBF") return "UTF-8";
    if (body.substr(0, 2) == "\xFF\xFE") return "UTF-16LE";
    if (body.substr(0, 2) == "\xFE\xFF") return "UTF-16BE";
    std::string name = IconvName(CharsetParameter(contentType));
    if (name.empty()) {
        name = MetaCharset(body);
        // A page that declares UTF-16 in ASCII cannot be UTF-16; browsers read it as UTF-8.
        if (name.rfind("UTF-16", 0) == 0) name = "UTF-8";
    }
    if (!name.empty()) return name;
    return IsValidUtf8(body) ? "UTF-8" : "GB18030";
}

std::string PageToUtf8(std::string_view body, std::string_view contentType) {
    const std::string charset = PageCharset(body, contentType);
    std::string_view content = body;
    if (charset == "UTF-8" && content.substr(0, 3) == "\xEF\xBB\xBF") content.remove_prefix(3);
    if (charset.rfind("UTF-16", 0) == 0 && content.size() >= 2 &&
        (content.substr(0, 2) == "\xFF\xFE" || content.substr(0, 2) == "\xFE\xFF")) {
        content.remove_prefix(2);
    }
    if (auto converted = Convert(content, charset)) return *converted;
    // An unknown label: fall back to the guess made without one.
    return *Convert(content, IsValidUtf8(content) ? "UTF-8" : "GB18030");
}
