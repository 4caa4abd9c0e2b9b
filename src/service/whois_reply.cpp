#include "service/whois_reply.h"

#include <array>
#include <cstdio>
#include <vector>

#include "service/utf8.h"

namespace {

// Registries that need more than the common keys below, one line each (a registry may have
// several): the top-level domain, an extra key naming the registration and text its value
// must hold (the date may then stand anywhere in the value), and how the registry orders a
// numeric day and month.
struct RegistryRule {
    std::string_view tld;
    std::string_view key = {};
    std::string_view marker = {};
    DayMonthOrder order = DayMonthOrder::kUnknown;
};

constexpr RegistryRule kRegistryRules[] = {
    {.tld = "bg", .order = DayMonthOrder::kDayFirst},  // activated on: 30/06/2003
    {.tld = "dz", .order = DayMonthOrder::kDayFirst},  // Date de creation#. . . .10/01/2007
    {.tld = "es", .order = DayMonthOrder::kDayFirst},  // Creation Date: 16/09/03
    {.tld = "fr", .order = DayMonthOrder::kDayFirst},  // created: 01/01/1995 (and its siblings)
    {.tld = "hk", .order = DayMonthOrder::kDayFirst},  // 06-04-2004
    {.tld = "hm", .order = DayMonthOrder::kDayFirst},  // 28/04/2003
    {.tld = "lu", .order = DayMonthOrder::kDayFirst},  // registered: 04/06/2003
    {.tld = "nl", .order = DayMonthOrder::kDayFirst},  // Date registered: 27-05-1999
    {.tld = "pm", .order = DayMonthOrder::kDayFirst},
    {.tld = "re", .order = DayMonthOrder::kDayFirst},
    {.tld = "sm", .order = DayMonthOrder::kDayFirst},  // Registration date: 03/04/2003
    {.tld = "tf", .order = DayMonthOrder::kDayFirst},
    {.tld = "wf", .order = DayMonthOrder::kDayFirst},
    {.tld = "yt", .order = DayMonthOrder::kDayFirst},
    {.tld = "tk", .order = DayMonthOrder::kMonthFirst},  // 12/18/2001; one registry with:
    {.tld = "ml", .order = DayMonthOrder::kMonthFirst},
    {.tld = "ga", .order = DayMonthOrder::kMonthFirst},
    {.tld = "cf", .order = DayMonthOrder::kMonthFirst},
    {.tld = "gq", .order = DayMonthOrder::kMonthFirst},
    {.tld = "ca", .key = "date_approved"},
    {.tld = "il", .key = "changed", .marker = "(assigned)"},  // ns.il 19990605 (Assigned)
    {.tld = "ma", .key = "domain:created"},                   // domain:Created:20090324
    {.tld = "my", .key = "c [record created"},                // c [Record Created]  13-MAY-2009
    {.tld = "pt", .key = "data de registo", .order = DayMonthOrder::kDayFirst},
    {.tld = "tn", .key = "acivated"},                    // sic
    {.tld = "ua", .key = "created", .marker = "uanic"},  // created: 0-UANIC 20020903000000
    {.tld = "za", .key = "7b. date"},                    // gov.za: 7b. Date : 2012/09/03
};

// Keys (lower case) that name a domain's registration at the start of a line, before ':',
// blanks, a tab, dot leaders or "]"; the date follows, or stands on the next line.
const std::string kKeys[] = {
    "creation date",
    "created",
    "created on",
    "created date",
    "created at",
    "creation time",
    "registration time",
    "registration date",
    "registered on",
    "registered",
    "registered date",
    "domain registration date",
    "domain create date",
    "domain created",
    "domain name commencement date",
    "record created",
    "record created on",
    "registration",
    "registered at",
    "activation",
    "activated",
    "domain record activated",
    "first registration date",
    "domain registered",
    "date of registration",
    "date registered",
    "entry created",
    "activated on",
    "domain creation date",
    "domain_dateregistered",
    "fecha de registro",
    U8(u8"fecha de creación"),
    "fecha de creacion",
    "date de creation",
    U8(u8"date de création"),
    U8(u8"data de criação"),
    U8(u8"登録年月日"),
    U8(u8"注册时间"),
    U8(u8"註冊日期"),
    U8(u8"创建时间"),
    U8(u8"注册日期"),
};

// The first key of a block (lines between blank lines) that belongs to someone other than
// the domain: such blocks carry their own "created:" and "registered:".
constexpr std::string_view kOtherBlocks[] = {"nic-hdl", "person", "role", "contact",
                                             "organisation"};

constexpr std::size_t kLineCap = 256;  // bytes of a line that are looked at
constexpr std::size_t kValueCap = 96;  // bytes of a value that are read as a date

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
           static_cast<unsigned char>(c) >= 0x80;
}
char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (Lower(text[i]) != prefix[i]) return false;
    }
    return true;
}

bool ContainsNoCase(std::string_view text, std::string_view needle) {
    for (std::size_t at = 0; at + needle.size() <= text.size(); ++at) {
        if (StartsWithNoCase(text.substr(at), needle)) return true;
    }
    return false;
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

// ---- dates ----

struct Token {
    bool number = false;
    std::string_view text;
    int value = -1;  // numbers of up to 8 digits
    char after = 0;  // the first separator after the token other than a blank; ' ' or 0
};

std::vector<Token> Tokenize(std::string_view value) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < value.size() && tokens.size() < 24) {
        const char c = value[i];
        if (!IsDigit(c) && !IsLetter(c)) {
            if (!tokens.empty() && (tokens.back().after == 0 || tokens.back().after == ' ')) {
                tokens.back().after = c == '\t' ? ' ' : c;
            }
            ++i;
            continue;
        }
        Token token;
        token.number = IsDigit(c);
        const std::size_t start = i;
        while (i < value.size() && (token.number ? IsDigit(value[i]) : IsLetter(value[i]))) ++i;
        token.text = value.substr(start, i - start);
        if (token.number && token.text.size() <= 8) {
            token.value = 0;
            for (char d : token.text) token.value = token.value * 10 + (d - '0');
        }
        tokens.push_back(token);
    }
    return tokens;
}

bool IsWordIn(const Token& token, std::string_view lower) {
    return !token.number && token.text.size() == lower.size() &&
           StartsWithNoCase(token.text, lower);
}

// 1..12 for an English month name or its abbreviation ("Sep", "Sept", "September").
int MonthOf(const Token& token) {
    static constexpr std::array<std::string_view, 12> kMonths = {
        "january", "february", "march",     "april",   "may",      "june",
        "july",    "august",   "september", "october", "november", "december"};
    if (token.number || token.text.size() < 3) return 0;
    for (std::size_t m = 0; m < kMonths.size(); ++m) {
        if (token.text.size() <= kMonths[m].size() &&
            StartsWithNoCase(token.text, kMonths[m].substr(0, token.text.size()))) {
            return static_cast<int>(m) + 1;
        }
    }
    return 0;
}

bool IsWeekday(const Token& token) {
    static constexpr std::array<std::string_view, 7> kDays = {"mon", "tue", "wed", "thu",
                                                              "fri", "sat", "sun"};
    if (token.number || token.text.size() < 3) return false;
    for (std::string_view day : kDays) {
        if (StartsWithNoCase(token.text, day)) return true;
    }
    return false;
}

bool IsOrdinal(const Token& token) {
    return IsWordIn(token, "st") || IsWordIn(token, "nd") || IsWordIn(token, "rd") ||
           IsWordIn(token, "th");
}

bool IsNumber(const Token& token, std::size_t minDigits, std::size_t maxDigits) {
    return token.number && token.text.size() >= minDigits && token.text.size() <= maxDigits;
}

bool IsDateSeparator(char c) {
    return c == '-' || c == '.' || c == '/' || c == ' ' || c == ',';
}

enum class Found { kDate, kNone, kUnknowable };

struct DateRead {
    Found found = Found::kNone;
    int year = 0, month = 0, day = 0;
};

DateRead Checked(int year, int month, int day) {
    if (year < 100) year += year >= 80 ? 1900 : 2000;  // no domain predates 1985
    static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1980 || year > 2200 || month < 1 || month > 12 || day < 1 ||
        day > kDays[month - 1]) {
        return {};
    }
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (month == 2 && day == 29 && !leap) return {};
    return {Found::kDate, year, month, day};
}

// Reads the date that starts at tokens[i].
DateRead DateAt(const std::vector<Token>& t, std::size_t i, DayMonthOrder order) {
    const auto at = [&t](std::size_t k) -> const Token* { return k < t.size() ? &t[k] : nullptr; };
    const Token* a = at(i);
    if (a == nullptr) return {};
    if (IsWordIn(*a, "before") || IsWordIn(*a, "prior")) return {Found::kUnknowable};
    const Token* b = at(i + 1);
    const Token* c = at(i + 2);
    // 2001-05-09, 2000. 01. 20., 2001/05/09
    if (IsNumber(*a, 4, 4) && b && c && IsNumber(*b, 1, 2) && IsNumber(*c, 1, 2) &&
        IsDateSeparator(a->after) && IsDateSeparator(b->after) && a->after != ',') {
        return Checked(a->value, b->value, c->value);
    }
    // 2001-Aug-23
    if (IsNumber(*a, 4, 4) && b && c && MonthOf(*b) && IsNumber(*c, 1, 2)) {
        return Checked(a->value, MonthOf(*b), c->value);
    }
    // 26-Nov-1996, 30th April 2003, 2nd April, 2001, 01-Jan-99
    if (IsNumber(*a, 1, 2) && b) {
        std::size_t k = i + 1;
        if (IsOrdinal(*b)) ++k;
        const Token* month = at(k);
        const Token* year = at(k + 1);
        if (month && year && MonthOf(*month) && (IsNumber(*year, 4, 4) || IsNumber(*year, 2, 2))) {
            return Checked(year->value, MonthOf(*month), a->value);
        }
    }
    // April 18, 2002; Apr 18 19:12:00 GMT 2002
    if (MonthOf(*a) && b && IsNumber(*b, 1, 2)) {
        std::size_t k = i + 2;
        if (c && IsOrdinal(*c)) ++k;
        for (std::size_t skipped = 0; skipped < 6 && at(k); ++skipped, ++k) {
            const Token& next = t[k];
            if (IsNumber(next, 4, 4)) return Checked(next.value, MonthOf(*a), b->value);
            const bool timePart = IsNumber(next, 1, 2);
            const bool zone = !next.number && next.text.size() <= 5;
            if (!timePart && !zone) break;
        }
        return {};
    }
    // 06-04-2004, 12/18/2001, 31.12.1999; 16/09/03 only where the registry's order is known
    if (IsNumber(*a, 1, 2) && b && c && IsNumber(*b, 1, 2) &&
        (IsNumber(*c, 4, 4) || (IsNumber(*c, 2, 2) && order != DayMonthOrder::kUnknown)) &&
        a->after == b->after && (a->after == '-' || a->after == '.' || a->after == '/')) {
        int first = a->value;
        int second = b->value;
        // Dots are written day first everywhere.
        if (order == DayMonthOrder::kUnknown && a->after == '.') order = DayMonthOrder::kDayFirst;
        if (order == DayMonthOrder::kUnknown) {
            if (first > 12 && second <= 12) order = DayMonthOrder::kDayFirst;
            if (second > 12 && first <= 12) order = DayMonthOrder::kMonthFirst;
            if (order == DayMonthOrder::kUnknown) return {Found::kUnknowable};
        }
        if (order == DayMonthOrder::kMonthFirst) std::swap(first, second);
        return Checked(c->value, second, first);
    }
    // 20010509, 20020903000000
    if (IsNumber(*a, 8, 8)) return Checked(a->value / 10000, a->value / 100 % 100, a->value % 100);
    if (IsNumber(*a, 14, 14)) {
        const std::vector<Token> day = Tokenize(a->text.substr(0, 8));
        return DateAt(day, 0, order);
    }
    return {};
}

DateRead ReadDate(std::string_view value, DayMonthOrder order, bool anywhere) {
    const std::vector<Token> tokens = Tokenize(value.substr(0, kValueCap));
    std::size_t i = 0;
    if (i < tokens.size() && IsWeekday(tokens[i]) && !MonthOf(tokens[i])) ++i;
    if (!anywhere) return DateAt(tokens, i, order);
    for (; i < tokens.size(); ++i) {
        const DateRead read = DateAt(tokens, i, order);
        if (read.found == Found::kDate) return read;
    }
    return {};
}

std::string Formatted(const DateRead& date) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}

// ---- lines ----

// The value after `key` when `line` starts with it (a blank in the key stands for any run of
// blanks): nullopt when it does not.
std::optional<std::string_view> ValueAfter(std::string_view line, std::string_view key) {
    std::size_t at = 0;
    for (const char k : key) {
        if (k == ' ') {
            if (at >= line.size() || !IsBlank(line[at])) return std::nullopt;
            while (at < line.size() && IsBlank(line[at])) ++at;
        } else {
            if (at >= line.size() || Lower(line[at]) != k) return std::nullopt;
            ++at;
        }
    }
    std::string_view rest = line.substr(at);
    if (!rest.empty() && rest.front() != ':' && rest.front() != ' ' && rest.front() != '\t' &&
        rest.front() != '.' && rest.front() != ']' && rest.front() != '#' &&
        rest.front() != static_cast<char>(0xEF)) {
        return std::nullopt;
    }
    if (StartsWithNoCase(rest, "\xEF\xBC\x9A")) rest.remove_prefix(3);  // full-width colon
    while (!rest.empty() && (rest.front() == ':' || IsBlank(rest.front()) || rest.front() == '.' ||
                             rest.front() == ']' || rest.front() == '"' || rest.front() == '#')) {
        rest.remove_prefix(1);
    }
    return rest;
}

// Whether a value can start a date: a digit, a month or week day, or "before".
bool LooksLikeDate(std::string_view value) {
    const std::vector<Token> tokens = Tokenize(value.substr(0, 24));
    if (tokens.empty() || value.empty() || !(IsDigit(value.front()) || IsLetter(value.front()))) {
        return false;
    }
    const Token& first = tokens.front();
    return first.number || MonthOf(first) || IsWeekday(first) || IsWordIn(first, "before");
}

// The part of a chained reply after the root's record of the top-level domain (which ends
// with "source: IANA"); the root's record of a domain it registers itself (.int) stays.
std::string_view WithoutRootPart(std::string_view reply) {
    std::string_view rest = reply;
    std::size_t offset = 0;
    std::size_t cut = 0;
    bool topLevel = false;
    ForEachLine(reply, [&](std::string_view line) {
        offset += line.size() + 1;
        std::string key;
        std::string_view value;
        if (!SplitLine(line.substr(0, kLineCap), key, value)) return true;
        if (key == "domain") topLevel = value.find('.') == std::string_view::npos;
        if (key == "source" && topLevel && AsciiLower(value) == "iana") cut = offset;
        return true;
    });
    if (cut > 0) rest = cut < reply.size() ? reply.substr(cut) : std::string_view();
    return rest;
}

bool StartsOtherBlock(std::string_view line) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) return false;
    const std::string key = AsciiLower(Trim(line.substr(0, colon)));
    for (std::string_view other : kOtherBlocks) {
        if (key == other) return true;
    }
    return false;
}

}  // namespace

std::optional<std::string> WhoisReferral(std::string_view reply) {
    std::optional<std::string> server;
    ForEachLine(reply, [&server](std::string_view line) {
        std::string key;
        std::string_view value;
        if (SplitLine(line.substr(0, kLineCap), key, value) && (key == "refer" || key == "whois") &&
            !value.empty()) {
            server = std::string(value);
            return false;
        }
        return true;
    });
    return server;
}

std::optional<std::string> ParseWhoisDate(std::string_view value, DayMonthOrder order) {
    const DateRead read = ReadDate(Trim(value), order, false);
    if (read.found != Found::kDate) return std::nullopt;
    return Formatted(read);
}

std::optional<std::string> WhoisRegistrationDate(std::string_view reply, std::string_view domain) {
    const std::string tld = AsciiLower(domain.substr(domain.rfind('.') + 1));
    std::vector<const RegistryRule*> rules;
    DayMonthOrder order = DayMonthOrder::kUnknown;
    for (const RegistryRule& rule : kRegistryRules) {
        if (rule.tld != tld) continue;
        rules.push_back(&rule);
        if (order == DayMonthOrder::kUnknown) order = rule.order;
    }

    std::optional<std::string> date;
    bool blockStart = true;
    bool otherBlock = false;
    bool valueOnNextLine = false;
    ForEachLine(WithoutRootPart(reply), [&](std::string_view raw) {
        std::string_view line = Trim(raw.substr(0, kLineCap));
        if (line.empty()) {
            blockStart = true;
            otherBlock = false;
            return true;
        }
        if (blockStart) otherBlock = StartsOtherBlock(line);
        blockStart = false;
        if (otherBlock) return true;
        if (!line.empty() && line.front() == '[') line.remove_prefix(1);

        std::optional<std::string_view> value;
        bool anywhere = false;
        if (valueOnNextLine) {
            valueOnNextLine = false;
            if (LooksLikeDate(line)) value = line;
        }
        for (const RegistryRule* rule : rules) {
            if (value || rule->key.empty()) continue;
            const auto ruled = ValueAfter(line, rule->key);
            if (ruled && ContainsNoCase(*ruled, rule->marker)) {
                value = ruled;
                anywhere = true;
            }
        }
        if (!value) {
            std::size_t longest = 0;
            for (const std::string& key : kKeys) {
                if (key.size() <= longest) continue;
                const auto candidate = ValueAfter(line, key);
                if (!candidate) continue;
                if (candidate->empty()) {
                    valueOnNextLine = true;
                    longest = key.size();
                    value.reset();
                } else if (LooksLikeDate(*candidate)) {
                    valueOnNextLine = false;
                    longest = key.size();
                    value = candidate;
                }
            }
        }
        if (!value) return true;
        const DateRead read = ReadDate(*value, order, anywhere);
        if (read.found == Found::kDate) date = Formatted(read);
        // A date that cannot be known ends the search: what follows is someone else's.
        return read.found == Found::kNone;
    });
    return date;
}
