#pragma once

#include <chrono>
#include <deque>
#include <optional>

// The pace of a query run, for the time it has left: the moments at which its recent hosts were
// done. The estimate waits for a few hosts and follows the recent pace, so a slow start or a
// change of speed (an engine that begins to pause) fades out.
class RunPace final {
  public:
    using TimePoint = std::chrono::steady_clock::time_point;

    // Hosts done before an estimate is given, and how many recent ones it is drawn from.
    static constexpr int kFirstEstimateAfter = 3;
    static constexpr int kRecentHosts = 10;

    void Start(TimePoint now);
    void HostDone(TimePoint now);

    int HostsDone() const { return m_done; }
    // The time `remaining` hosts take at the recent pace, rounded up to whole seconds; nullopt
    // until enough hosts are done.
    std::optional<std::chrono::seconds> TimeLeft(int remaining) const;

  private:
    std::deque<TimePoint> m_marks;  // the start, then the last hosts' ends
    int m_done = 0;
};
