#include "service/whois_reply.h"

#include <array>
#include <cstdio>
#include <regex>

#include "service/utf8.h"

namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' ||
                             text.back() == '.')) {
        text.remove_suffix(1);
    }
    return text;
}

// Splits "key: value" or "[key] value" into its lower-case key and its value.
bool SplitLine(std::string_view line, std::string& key, std::string_view& value) {
    line = Trim(line);
    if (line.empty()) return false;
    std::size_t cut = std::string_view::npos;
    if (line.front() == '[') {
        cut = line.find(']');
        if (cut == std::string_view::npos) return false;
        key = AsciiLower(Trim(line.substr(1, cut - 1)));
    } else {
        cut = line.find(':');
        if (cut == std::string_view::npos) return false;
        key = AsciiLower(Trim(line.substr(0, cut)));
    }
    value = Trim(line.substr(cut + 1));
    return true;
}

template <typename Visit>
void ForEachLine(std::string_view reply, Visit visit) {
    while (!reply.empty()) {
        const std::size_t end = reply.find('\n');
        if (!visit(reply.substr(0, end))) return;
        if (end == std::string_view::npos) return;
        reply.remove_prefix(end + 1);
    }
}

int MonthNumber(std::string name) {
    static constexpr std::array<const char*, 12> kMonths = {
        "jan", "feb", "mar", "apr", "may", "jun", "jul", "aug", "sep", "oct", "nov", "dec"};
    name = AsciiLower(name.substr(0, 3));
    for (std::size_t i = 0; i < kMonths.size(); ++i) {
        if (name == kMonths[i]) return static_cast<int>(i) + 1;
    }
    return 0;
}

std::optional<std::string> Format(int year, int month, int day) {
    if (year < 1980 || year > 2200 || month < 1 || month > 12 || day < 1 || day > 31) {
        return std::nullopt;
    }
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
    return std::string(text);
}

}  // namespace

std::optional<std::string> WhoisReferral(std::string_view reply) {
    std::optional<std::string> server;
    ForEachLine(reply, [&server](std::string_view line) {
        std::string key;
        std::string_view value;
        if (SplitLine(line, key, value) && (key == "refer" || key == "whois") && !value.empty()) {
            server = std::string(value);
            return false;
        }
        return true;
    });
    return server;
}

std::optional<std::string> ParseWhoisDate(std::string_view text) {
    const std::string value(text);
    std::smatch m;
    static const std::regex kYearFirst(R"((\d{4})\s*[-./]\s*(\d{1,2})\s*[-./]\s*(\d{1,2}))");
    static const std::regex kDayMonthName(
        R"((\d{1,2})[-\s./]+([A-Za-z]{3})[A-Za-z]*\.?[-\s./,]+(\d{4}))");
    static const std::regex kMonthNameDay(
        R"(([A-Za-z]{3})[A-Za-z]*\.?\s+(\d{1,2})(?:st|nd|rd|th)?,?\s+(?:\d{1,2}:\d{2}(?::\d{2})?\s+(?:[A-Za-z]{2,5}\s+)?)?(\d{4}))");
    static const std::regex kDayFirst(R"((\d{1,2})[-./](\d{1,2})[-./](\d{4}))");
    static const std::regex kCompact(R"((?:^|\D)(\d{4})(\d{2})(\d{2})(?:\D|$))");
    if (std::regex_search(value, m, kYearFirst)) {
        return Format(std::stoi(m[1]), std::stoi(m[2]), std::stoi(m[3]));
    }
    if (std::regex_search(value, m, kDayMonthName) && MonthNumber(m[2]) != 0) {
        return Format(std::stoi(m[3]), MonthNumber(m[2]), std::stoi(m[1]));
    }
    if (std::regex_search(value, m, kMonthNameDay) && MonthNumber(m[1]) != 0) {
        return Format(std::stoi(m[3]), MonthNumber(m[1]), std::stoi(m[2]));
    }
    if (std::regex_search(value, m, kDayFirst)) {
        int day = std::stoi(m[1]);
        int month = std::stoi(m[2]);
        if (month > 12 && day <= 12) std::swap(day, month);  // the American order
        return Format(std::stoi(m[3]), month, day);
    }
    if (std::regex_search(value, m, kCompact)) {
        return Format(std::stoi(m[1]), std::stoi(m[2]), std::stoi(m[3]));
    }
    return std::nullopt;
}

std::optional<std::string> WhoisRegistrationDate(std::string_view reply) {
    static const std::array<std::string, 22> kKeys = {
        "creation date",      "created",           "created on",
        "created date",       "created at",        "creation time",
        "registration time",  "registration date", "registered on",
        "registered",         "registered date",   "domain registration date",
        "domain create date", "domain created",    "domain name commencement date",
        "record created",     "registration",      "registered at",
        "activation",         U8(u8"登録年月日"),  U8(u8"注册时间"),
        U8(u8"註冊日期"),
    };
    std::optional<std::string> date;
    ForEachLine(reply, [&date](std::string_view line) {
        std::string key;
        std::string_view value;
        if (!SplitLine(line, key, value)) return true;
        for (const std::string& known : kKeys) {
            if (key == known) {
                date = ParseWhoisDate(value);
                return !date.has_value();
            }
        }
        return true;
    });
    return date;
}
