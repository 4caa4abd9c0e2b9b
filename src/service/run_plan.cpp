#include "service/run_plan.h"

#include <algorithm>

#include "query/metric_catalogue.h"

namespace {

constexpr std::string_view kMagic = "zarkel-plan 1";
constexpr std::size_t kMaxClient = 64;
constexpr std::size_t kMaxHeaderLine = 1024;

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsTokenByte(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '_' || c == '-';
}

// The next header line from `pos` (a trailing CR dropped); nullopt without an LF near.
std::optional<std::string_view> HeaderLine(std::string_view body, std::size_t& pos) {
    const std::size_t end = body.find('\n', pos);
    if (end == std::string_view::npos || end - pos > kMaxHeaderLine) return std::nullopt;
    std::string_view line = body.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    pos = end + 1;
    return line;
}

bool IsCatalogueKind(std::string_view kind) {
    return std::any_of(std::begin(kMetricCatalogue), std::end(kMetricCatalogue),
                       [kind](const Metric& m) { return m.kind == kind; });
}

}  // namespace

std::optional<RunPlan> RunPlan::Read(std::string body) {
    if (body.size() > kMaxRunPlanBytes) return std::nullopt;
    std::size_t pos = 0;
    const auto magic = HeaderLine(body, pos);
    if (!magic || *magic != kMagic) return std::nullopt;

    RunPlan plan;
    const auto client = HeaderLine(body, pos);
    if (!client || !client->starts_with("client ")) return std::nullopt;
    const std::string_view token = client->substr(7);
    if (token.empty() || token.size() > kMaxClient ||
        !std::all_of(token.begin(), token.end(), IsTokenByte)) {
        return std::nullopt;
    }
    plan.m_client = token;

    const auto kinds = HeaderLine(body, pos);
    if (!kinds || !kinds->starts_with("kinds")) return std::nullopt;
    std::string_view rest = kinds->substr(5);
    while (!rest.empty()) {
        const std::size_t start = rest.find_first_not_of(' ');
        if (start == std::string_view::npos) break;
        rest.remove_prefix(start);
        const std::string_view kind = rest.substr(0, rest.find(' '));
        rest.remove_prefix(kind.size());
        if (IsCatalogueKind(kind) &&
            std::find(plan.m_kinds.begin(), plan.m_kinds.end(), kind) == plan.m_kinds.end()) {
            plan.m_kinds.emplace_back(kind);
        }
    }
    const auto blank = HeaderLine(body, pos);
    if (!blank || !blank->empty()) return std::nullopt;

    // Decoding only shrinks, so the addresses are written to the front of the same buffer.
    std::size_t out = 0;
    const std::size_t size = body.size();
    plan.m_ends.reserve(static_cast<std::size_t>(std::count(
                            body.begin() + static_cast<std::ptrdiff_t>(pos), body.end(), '\n')) +
                        1);
    while (pos < size) {
        std::size_t end = body.find('\n', pos);
        if (end == std::string::npos) end = size;
        std::size_t lineEnd = end;
        if (lineEnd > pos && body[lineEnd - 1] == '\r') --lineEnd;
        for (std::size_t i = pos; i < lineEnd; ++i) {
            if (body[i] == '%' && i + 2 < lineEnd && HexValue(body[i + 1]) >= 0 &&
                HexValue(body[i + 2]) >= 0) {
                body[out++] = static_cast<char>(HexValue(body[i + 1]) * 16 + HexValue(body[i + 2]));
                i += 2;
            } else {
                body[out++] = body[i];
            }
        }
        plan.m_ends.push_back(static_cast<std::uint32_t>(out));
        pos = end + 1;
    }
    body.resize(out);
    plan.m_bytes = std::move(body);
    return plan;
}

std::string_view RunPlan::Address(std::size_t index) const {
    const std::uint32_t start = index == 0 ? 0 : m_ends[index - 1];
    return std::string_view(m_bytes).substr(start, m_ends[index] - start);
}
