#pragma once

#include <optional>
#include <string_view>

#include "common/text.h"
#include "history/history_types.h"

// The number a figure's text stands for: an optional minus, digits with optional thousands
// commas, an optional fraction. Anything else (dates, addresses, "×", words) is no number.
std::optional<double> FigureNumber(std::string_view text);

// Up or down when both texts are numbers, Changed for any other difference.
ChangeDirection CompareFigures(std::string_view previous, std::string_view current);

// "YYYY-MM-DD" of a time in the local time zone.
Text HistoryDate(HistoryTime time);
