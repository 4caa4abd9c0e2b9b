#include "batch/progress_report.h"

#include <cstdio>

namespace {

constexpr std::size_t kPaceHosts = 20;  // the recent pace is that of the last hosts
constexpr auto kPlainInterval = std::chrono::seconds(10);
constexpr int kBarWidth = 24;

std::string TwoDigits(long long value) {
    return (value < 10 ? "0" : "") + std::to_string(value);
}

}  // namespace

std::string DurationText(std::chrono::seconds duration) {
    const long long s = duration.count();
    if (s < 60) return std::to_string(s) + " s";
    if (s < 3600) return std::to_string(s / 60) + " min " + TwoDigits(s % 60) + " s";
    return std::to_string(s / 3600) + " h " + TwoDigits(s % 3600 / 60) + " min";
}

ProgressReport::ProgressReport(bool terminal, Write write, Now now)
    : m_terminal(terminal), m_write(std::move(write)), m_now(std::move(now)) {
    m_start = m_now();
    m_lastLine = m_start;
}

std::string ProgressReport::Rate() const {
    if (m_recent.size() < 2) return {};
    const double seconds =
        std::chrono::duration<double>(m_recent.back() - m_recent.front()).count();
    if (seconds <= 0) return {};
    char text[32];
    std::snprintf(text, sizeof text, "%.1f hosts/s",
                  static_cast<double>(m_recent.size() - 1) / seconds);
    return text;
}

std::string ProgressReport::TimeLeft(int done, int total) const {
    // After a few hosts only: the first ones say little about the pace.
    if (m_recent.size() < 3 || done >= total) return {};
    const auto span = m_recent.back() - m_recent.front();
    const auto perHost = span / static_cast<long>(m_recent.size() - 1);
    const auto left = std::chrono::duration_cast<std::chrono::seconds>(perHost * (total - done));
    return "about " + DurationText(left) + " left";
}

void ProgressReport::Update(int done, int total) {
    const Clock::time_point now = m_now();
    m_recent.push_back(now);
    if (m_recent.size() > kPaceHosts) m_recent.pop_front();
    std::string figures = std::to_string(done) + "/" + std::to_string(total) + " hosts";
    for (const std::string& part : {Rate(), TimeLeft(done, total)}) {
        if (!part.empty()) figures += ", " + part;
    }
    if (m_terminal) {
        const int filled =
            total > 0 ? static_cast<int>(static_cast<long long>(done) * kBarWidth / total) : 0;
        // Erase to the end of the line: the last text may have been longer.
        m_write("\r[" + std::string(static_cast<std::size_t>(filled), '#') +
                std::string(static_cast<std::size_t>(kBarWidth - filled), '.') + "] " + figures +
                "\x1b[K");
    } else if (now - m_lastLine >= kPlainInterval || done == total) {
        m_lastLine = now;
        m_write(figures + "\n");
    }
}

void ProgressReport::Finish(int done, bool completed) {
    const auto taken = std::chrono::duration_cast<std::chrono::seconds>(m_now() - m_start);
    std::string line = std::to_string(done) + " hosts " + (completed ? "done" : "done, stopped") +
                       " in " + DurationText(taken) + "\n";
    m_write(m_terminal ? "\r\x1b[K" + line : line);
}
