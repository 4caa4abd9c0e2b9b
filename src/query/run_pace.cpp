#include "query/run_pace.h"

#include <algorithm>
#include <cstdint>

void RunPace::Start(TimePoint now) {
    m_marks.assign(1, now);
    m_done = 0;
}

void RunPace::HostDone(TimePoint now) {
    if (m_marks.empty()) m_marks.push_back(now);
    m_marks.push_back(now);
    while (m_marks.size() > static_cast<std::size_t>(kRecentHosts) + 1) m_marks.pop_front();
    ++m_done;
}

std::optional<std::chrono::seconds> RunPace::TimeLeft(int remaining) const {
    if (m_done < kFirstEstimateAfter || m_marks.size() < 2) return std::nullopt;
    const auto hosts = static_cast<std::int64_t>(m_marks.size() - 1);
    const auto span =
        std::chrono::duration_cast<std::chrono::milliseconds>(m_marks.back() - m_marks.front());
    const std::int64_t left =
        std::max<std::int64_t>(0, span.count()) * std::max(0, remaining) / hosts;
    return std::chrono::seconds((left + 999) / 1000);
}
