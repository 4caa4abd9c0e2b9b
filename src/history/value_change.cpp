#include "history/value_change.h"

#include <cstdio>
#include <ctime>

std::optional<double> FigureNumber(std::string_view text) {
    // Figures are short; a long run of digits is no count the service gives.
    if (text.empty() || text.size() > 32) return std::nullopt;
    std::size_t i = 0;
    const bool negative = text[0] == '-';
    if (negative) ++i;
    double value = 0;
    int digits = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            value = value * 10 + (c - '0');
            ++digits;
        } else if (c == ',' && digits > 0 && i + 1 < text.size()) {
            continue;
        } else {
            break;
        }
    }
    if (digits == 0) return std::nullopt;
    if (i < text.size() && text[i] == '.') {
        ++i;
        double scale = 0.1;
        int fraction = 0;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++fraction) {
            value += (text[i] - '0') * scale;
            scale /= 10;
        }
        if (fraction == 0) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;
    return negative ? -value : value;
}

ChangeDirection CompareFigures(std::string_view previous, std::string_view current) {
    if (previous == current) return ChangeDirection::Same;
    const auto before = FigureNumber(previous);
    const auto now = FigureNumber(current);
    if (!before || !now || *before == *now) return ChangeDirection::Changed;
    return *now > *before ? ChangeDirection::Up : ChangeDirection::Down;
}

Text HistoryDate(HistoryTime time) {
    const std::time_t seconds = static_cast<std::time_t>(time);
    std::tm local{};
    if (localtime_r(&seconds, &local) == nullptr) return {};
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", (local.tm_year + 1900) % 10000,
                  local.tm_mon + 1, local.tm_mday);
    return buffer;
}
