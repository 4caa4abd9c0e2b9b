#include "service/engine_page.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <string>

#include "service/html_text.h"
#include "service/utf8.h"

namespace {

bool IsBlockedPage(std::string_view page, std::string_view finalUrl, long status) {
    if (status == 403 || status == 429 || status == 503) return true;
    static const std::array<std::string, 9> kMarks = {
        U8(u8"百度安全验证"),
        U8(u8"请输入验证码"),
        U8(u8"此验证码用于确认这些请求是您的正常行为"),
        U8(u8"请完成下方验证"),
        U8(u8"访问异常，请输入验证码"),
        "antispider",
        "wappass.baidu.com/static/captcha",
        "captcha.baidu.com",
        "qcaptcha",
    };
    for (const std::string& mark : kMarks) {
        if (page.find(mark) != std::string_view::npos) return true;
        if (finalUrl.find(mark) != std::string_view::npos) return true;
    }
    return false;
}

// Skips ASCII blanks and no-break spaces.
std::size_t SkipBlanks(std::string_view text, std::size_t i) {
    for (;;) {
        if (i < text.size() &&
            (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r')) {
            ++i;
        } else if (text.substr(i, 2) == "\xC2\xA0") {
            i += 2;
        } else {
            return i;
        }
    }
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A number such as "1,234,000", "1.2万" or "2.5 亿" at `i`.
std::optional<long long> NumberAt(std::string_view text, std::size_t i) {
    static const std::string kTenThousand = U8(u8"万");
    static const std::string kHundredMillion = U8(u8"亿");
    i = SkipBlanks(text, i);
    if (i >= text.size() || !IsDigit(text[i])) return std::nullopt;
    std::string digits;
    while (i < text.size()) {
        if (IsDigit(text[i])) {
            digits += text[i++];
        } else if ((text[i] == ',' || text[i] == '.') && i + 1 < text.size() &&
                   IsDigit(text[i + 1])) {
            if (text[i] == '.') digits += '.';
            ++i;
        } else {
            break;
        }
    }
    if (digits.size() > 18 || std::count(digits.begin(), digits.end(), '.') > 1) {
        return std::nullopt;
    }
    long double value = std::stold(digits);
    i = SkipBlanks(text, i);
    if (text.substr(i, kTenThousand.size()) == kTenThousand) value *= 1e4L;
    if (text.substr(i, kHundredMillion.size()) == kHundredMillion) value *= 1e8L;
    // A count past what a long long holds is no count a page can mean: refused, not wrapped.
    if (!(value < 0x1p63L)) return std::nullopt;
    return static_cast<long long>(std::llround(value));
}

}  // namespace

EngineReading ReadEnginePage(std::string_view pageUtf8, std::string_view finalUrl, long status) {
    EngineReading reading;
    if (IsBlockedPage(pageUtf8, finalUrl, status)) {
        reading.kind = EngineReading::Kind::kBlocked;
        return reading;
    }
    if (status >= 400) return reading;
    const std::string text = StripTags(pageUtf8);
    // Most specific first: the site box of a "site:" query, then the general result line.
    static const std::array<std::string, 7> kLeads = {
        U8(u8"该网站共有"), U8(u8"找到相关结果数约"), U8(u8"找到相关结果约"),
        U8(u8"为您找到约"), U8(u8"找到相关结果数"),   U8(u8"找到相关结果"),
        U8(u8"找到约"),
    };
    for (const std::string& lead : kLeads) {
        std::size_t at = 0;
        while ((at = text.find(lead, at)) != std::string::npos) {
            at += lead.size();
            if (auto count = NumberAt(text, at)) {
                reading.kind = EngineReading::Kind::kCount;
                reading.count = *count;
                return reading;
            }
        }
    }
    static const std::array<std::string, 4> kNothingFound = {
        U8(u8"没有找到与"),
        U8(u8"未找到与"),
        U8(u8"未找到和"),
        U8(u8"没有找到该URL"),
    };
    for (const std::string& phrase : kNothingFound) {
        if (text.find(phrase) != std::string::npos) {
            reading.kind = EngineReading::Kind::kCount;
            reading.count = 0;
            return reading;
        }
    }
    return reading;
}
