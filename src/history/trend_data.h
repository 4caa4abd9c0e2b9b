#pragma once

#include <string>
#include <vector>

#include "history/history_types.h"

// A host's history prepared for its trend window: a line per numeric figure and the
// changes of the text figures, within a time range.
struct TrendPoint {
    HistoryTime time = 0;
    double value = 0;
};

struct TrendSeries {
    std::string kind;
    std::vector<TrendPoint> points;  // oldest first
};

struct TextChange {
    HistoryTime time = 0;  // when the value was first seen
    std::string kind;
    Text value;
};

struct TrendData {
    std::vector<TrendSeries> series;      // numeric figures, in catalogue order
    std::vector<TextChange> textChanges;  // newest first
};

// The figures whose values are texts: IP, title, founding date.
bool IsTextFigure(std::string_view kind);

// Entries last seen before `from` are left out (0: everything). A numeric entry gives a
// point where it was first seen (or at `from`, if earlier) and one where it was last seen,
// so a value held for weeks draws as a level line; values that are no number (the fail mark,
// words) leave a gap in the points.
TrendData BuildTrend(const std::vector<HistoryEntry>& entries, HistoryTime from);
