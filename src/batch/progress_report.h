#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <string_view>

// zarkel-batch's progress on stderr: on a terminal one line redrawn in place (a bar, hosts
// done, rate, time left); elsewhere a plain line every ten seconds. Time left comes from
// the pace of the last hosts.
class ProgressReport final {
  public:
    using Clock = std::chrono::steady_clock;
    using Now = std::function<Clock::time_point()>;
    using Write = std::function<void(std::string_view)>;

    ProgressReport(bool terminal, Write write, Now now = Clock::now);

    void Update(int done, int total);
    // The closing line: hosts done and the time taken.
    void Finish(int done, bool completed);

  private:
    std::string Rate() const;
    std::string TimeLeft(int done, int total) const;

    bool m_terminal;
    Write m_write;
    Now m_now;
    Clock::time_point m_start;
    Clock::time_point m_lastLine;
    std::deque<Clock::time_point> m_recent;  // when each of the last hosts was done
};

// Seconds as "42 s", "3 min 05 s" or "2 h 07 min".
std::string DurationText(std::chrono::seconds duration);
