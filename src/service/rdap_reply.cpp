#include "service/rdap_reply.h"

#include <nlohmann/json.hpp>

#include "service/utf8.h"

namespace {

constexpr std::size_t kMaxDepth = 32;
constexpr std::size_t kMaxServices = 20000;
constexpr std::size_t kMaxUrls = 16;
constexpr std::size_t kMaxText = 1024;
constexpr std::size_t kMaxEvents = 256;

// Whether brackets nest at most kMaxDepth deep (strings skipped), so that no reader recurses
// deeper than that on a hostile reply.
bool ShallowEnough(std::string_view json) {
    std::size_t depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < json.size(); ++i) {
        const char c = json[i];
        if (inString) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > kMaxDepth) return false;
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return true;
}

std::optional<nlohmann::json> Parse(std::string_view json) {
    if (!ShallowEnough(json)) return std::nullopt;
    nlohmann::json value = nlohmann::json::parse(json, nullptr, false);
    if (value.is_discarded()) return std::nullopt;
    return value;
}

bool IsDigits(std::string_view text) {
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return !text.empty();
}

// "1997-09-15T04:00:00Z" (RFC 3339) as "1997-09-15"; the date as written, whatever the zone.
std::optional<std::string> DateOf(std::string_view stamp) {
    if (stamp.size() < 10 || stamp[4] != '-' || stamp[7] != '-') return std::nullopt;
    if (!IsDigits(stamp.substr(0, 4)) || !IsDigits(stamp.substr(5, 2)) ||
        !IsDigits(stamp.substr(8, 2))) {
        return std::nullopt;
    }
    if (stamp.size() > 10 && stamp[10] != 'T' && stamp[10] != 't' && stamp[10] != ' ') {
        return std::nullopt;
    }
    const int year = std::stoi(std::string(stamp.substr(0, 4)));
    const int month = std::stoi(std::string(stamp.substr(5, 2)));
    const int day = std::stoi(std::string(stamp.substr(8, 2)));
    static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1980 || year > 2200 || month < 1 || month > 12 || day < 1 ||
        day > kDays[month - 1]) {
        return std::nullopt;
    }
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (month == 2 && day == 29 && !leap) return std::nullopt;
    return std::string(stamp.substr(0, 10));
}

}  // namespace

std::optional<RdapServices> ReadRdapBootstrap(std::string_view json) {
    const auto root = Parse(json);
    if (!root || !root->is_object()) return std::nullopt;
    const auto services = root->find("services");
    if (services == root->end() || !services->is_array()) return std::nullopt;
    RdapServices read;
    std::size_t count = 0;
    for (const auto& service : *services) {
        if (!service.is_array() || service.size() < 2) continue;
        const auto& names = service[0];
        const auto& urls = service[1];
        if (!names.is_array() || !urls.is_array()) continue;
        std::vector<std::string> bases;
        for (const auto& url : urls) {
            if (!url.is_string()) continue;
            const auto& text = url.get_ref<const std::string&>();
            if (text.empty() || text.size() > kMaxText || bases.size() >= kMaxUrls) continue;
            bases.push_back(text);
        }
        if (bases.empty()) continue;
        for (const auto& name : names) {
            if (!name.is_string() || ++count > kMaxServices) continue;
            const auto& text = name.get_ref<const std::string&>();
            if (text.empty() || text.size() > 255) continue;
            read.emplace(AsciiLower(text), bases);
        }
    }
    if (read.empty()) return std::nullopt;
    return read;
}

std::vector<std::string> RdapBaseUrls(const RdapServices& services, std::string_view domain) {
    std::string name = AsciiLower(domain);
    while (!name.empty() && name.back() == '.') name.pop_back();
    // Its suffixes from the longest down to the top-level domain.
    for (std::size_t dot = name.find('.'); dot != std::string::npos;
         dot = name.find('.', dot + 1)) {
        const auto found = services.find(std::string_view(name).substr(dot + 1));
        if (found != services.end()) return found->second;
    }
    return {};
}

RdapRegistration ReadRdapRegistration(std::string_view json) {
    const auto root = Parse(json);
    if (!root || !root->is_object()) return {};
    RdapRegistration read;
    read.outcome = RdapRegistration::Outcome::kNoEvent;
    const auto events = root->find("events");
    if (events == root->end() || !events->is_array()) return read;
    std::size_t seen = 0;
    for (const auto& event : *events) {
        if (++seen > kMaxEvents) break;
        if (!event.is_object()) continue;
        const auto action = event.find("eventAction");
        const auto stamp = event.find("eventDate");
        if (action == event.end() || !action->is_string() || stamp == event.end() ||
            !stamp->is_string()) {
            continue;
        }
        if (AsciiLower(action->get_ref<const std::string&>()) != "registration") continue;
        const auto date = DateOf(stamp->get_ref<const std::string&>());
        if (!date) return read;  // a registration without a readable date: none at all
        read.outcome = RdapRegistration::Outcome::kDate;
        read.date = *date;
        return read;
    }
    return read;
}
