#include "history/trend_data.h"

#include <algorithm>

#include "history/value_change.h"
#include "query/metric_catalogue.h"

bool IsTextFigure(std::string_view kind) {
    return kind == "ip" || kind == "title" || kind == "whois";
}

TrendData BuildTrend(const std::vector<HistoryEntry>& entries, HistoryTime from) {
    TrendData data;
    for (const Metric& metric : kMetricCatalogue) {
        if (IsTextFigure(metric.kind)) continue;
        TrendSeries series{std::string(metric.kind), {}};
        for (const HistoryEntry& entry : entries) {
            if (entry.kind != metric.kind || entry.lastSeen < from) continue;
            const auto number = FigureNumber(entry.value);
            if (!number) continue;
            const HistoryTime first = std::max(entry.firstSeen, from);
            series.points.push_back({first, *number});
            if (entry.lastSeen > first) series.points.push_back({entry.lastSeen, *number});
        }
        std::stable_sort(series.points.begin(), series.points.end(),
                         [](const TrendPoint& a, const TrendPoint& b) { return a.time < b.time; });
        if (!series.points.empty()) data.series.push_back(std::move(series));
    }
    for (const HistoryEntry& entry : entries) {
        if (!IsTextFigure(entry.kind) || entry.lastSeen < from) continue;
        data.textChanges.push_back({entry.firstSeen, entry.kind, entry.value});
    }
    std::stable_sort(data.textChanges.begin(), data.textChanges.end(),
                     [](const TextChange& a, const TextChange& b) { return a.time > b.time; });
    return data;
}
