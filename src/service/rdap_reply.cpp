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

// Finds the first object of the top-level "events" array whose eventAction is "registration"
// and keeps its eventDate; stops there, at kMaxDepth nesting or after kMaxEvents events.
class RegistrationReader final : public nlohmann::json_sax<nlohmann::json> {
  public:
    bool found = false;
    bool rootIsObject = false;
    bool tooManyEvents = false;
    std::string date;

    bool null() override { return true; }
    bool boolean(bool) override { return true; }
    bool number_integer(number_integer_t) override { return true; }
    bool number_unsigned(number_unsigned_t) override { return true; }
    bool number_float(number_float_t, const string_t&) override { return true; }
    bool binary(binary_t&) override { return true; }
    bool string(string_t& value) override {
        if (m_inEvent && m_depth == 3 && value.size() <= kMaxText) {
            if (m_field == Field::kAction) m_action = AsciiLower(value);
            if (m_field == Field::kDate) m_date = value;
        }
        m_field = Field::kNone;
        return true;
    }
    bool start_object(std::size_t) override {
        if (++m_depth > kMaxDepth) return false;
        if (m_depth == 1) rootIsObject = true;
        if (m_depth == 3 && m_inEvents) {
            if (++m_events > kMaxEvents) {
                tooManyEvents = true;
                return false;
            }
            m_inEvent = true;
            m_action.clear();
            m_date.clear();
        }
        m_field = Field::kNone;
        return true;
    }
    bool key(string_t& name) override {
        if (m_depth == 1) m_eventsKey = name == "events";
        m_field = Field::kNone;
        if (m_depth == 3 && m_inEvent) {
            if (name == "eventAction") m_field = Field::kAction;
            if (name == "eventDate") m_field = Field::kDate;
        }
        return true;
    }
    bool end_object() override {
        if (m_depth == 3 && m_inEvent) {
            m_inEvent = false;
            if (m_action == "registration") {
                found = true;
                date = m_date;
                return false;  // the first one is the answer
            }
        }
        --m_depth;
        return true;
    }
    bool start_array(std::size_t) override {
        if (++m_depth > kMaxDepth) return false;
        if (m_depth == 2 && m_eventsKey) m_inEvents = true;
        m_field = Field::kNone;
        return true;
    }
    bool end_array() override {
        if (m_depth == 2) m_inEvents = false;
        --m_depth;
        return true;
    }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
        return false;
    }

  private:
    enum class Field { kNone, kAction, kDate };
    std::size_t m_depth = 0;
    std::size_t m_events = 0;
    bool m_eventsKey = false;
    bool m_inEvents = false;
    bool m_inEvent = false;
    Field m_field = Field::kNone;
    std::string m_action;
    std::string m_date;
};

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
    // Read as a stream: only the top-level events are looked at, nothing else is kept.
    RegistrationReader reader;
    const bool whole = nlohmann::json::sax_parse(json, &reader);
    RdapRegistration read;
    if (reader.found) {
        const auto date = DateOf(reader.date);
        read.outcome =
            date ? RdapRegistration::Outcome::kDate : RdapRegistration::Outcome::kNoEvent;
        read.date = date.value_or("");
    } else if ((whole || reader.tooManyEvents) && reader.rootIsObject) {
        read.outcome = RdapRegistration::Outcome::kNoEvent;
    }
    return read;
}
