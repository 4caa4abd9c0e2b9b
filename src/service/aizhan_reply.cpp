#include "service/aizhan_reply.h"

#include <nlohmann/json.hpp>
#include <optional>

#include "service/utf8.h"

namespace {

constexpr std::size_t kMaxReply = 1024 * 1024;
constexpr std::size_t kMaxDomain = 253;

// A whole number from a JSON number or a numeric string; nullopt otherwise.
std::optional<long> WholeNumber(const nlohmann::json& value) {
    if (value.is_number_integer()) return value.get<long>();
    if (value.is_number_float()) {
        const double d = value.get<double>();
        if (d >= -1e9 && d <= 1e9 && d == static_cast<double>(static_cast<long>(d))) {
            return static_cast<long>(d);
        }
        return std::nullopt;
    }
    if (!value.is_string()) return std::nullopt;
    const auto& text = value.get_ref<const std::string&>();
    if (text.empty() || text.size() > 9) return std::nullopt;
    long number = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        number = number * 10 + (c - '0');
    }
    return number;
}

std::optional<std::string> DomainOf(const nlohmann::json& value) {
    const nlohmann::json* name = &value;
    if (value.is_object()) {
        const auto found = value.find("domain");
        if (found == value.end()) return std::nullopt;
        name = &*found;
    }
    if (!name->is_string()) return std::nullopt;
    std::string domain = AsciiLower(name->get_ref<const std::string&>());
    while (!domain.empty() && domain.back() == '.') domain.pop_back();
    if (domain.empty() || domain.size() > kMaxDomain) return std::nullopt;
    return domain;
}

}  // namespace

AizhanReply ReadAizhanReply(std::string_view json) {
    AizhanReply reply;
    if (json.size() > kMaxReply) return reply;
    const auto root = nlohmann::json::parse(json, nullptr, false);
    if (!root.is_object()) return reply;
    const auto code = root.find("code");
    const auto number = code == root.end() ? std::nullopt : WholeNumber(*code);
    if (!number) return reply;
    if (*number == kAizhanRateLimited) {
        reply.kind = AizhanReply::Kind::kRateLimited;
        return reply;
    }
    reply.kind = AizhanReply::Kind::kRefused;
    const auto status = root.find("status");
    if (*number != kAizhanSuccess || (status != root.end() && *status != "success")) return reply;
    const auto data = root.find("data");
    if (data == root.end() || !data->is_object()) {
        reply.kind = AizhanReply::Kind::kBroken;
        return reply;
    }
    reply.kind = AizhanReply::Kind::kFigures;
    if (const auto success = data->find("success"); success != data->end() && success->is_array()) {
        for (const auto& entry : *success) {
            if (!entry.is_object()) continue;
            const auto domain = DomainOf(entry);
            auto weight = entry.find("pc_br");
            if (weight == entry.end()) weight = entry.find("br");
            if (!domain || weight == entry.end()) continue;
            const auto value = WholeNumber(*weight);
            if (value && *value >= 0 && *value <= 10) {
                reply.weights.emplace(*domain, static_cast<int>(*value));
            }
        }
    }
    if (const auto failed = data->find("failed"); failed != data->end() && failed->is_array()) {
        for (const auto& entry : *failed) {
            if (auto domain = DomainOf(entry)) reply.failed.insert(std::move(*domain));
        }
    }
    return reply;
}
