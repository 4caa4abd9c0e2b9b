#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

// Keeps one search engine's requests polite: one at a time, at least `interval` between the
// end of one and the start of the next, and none at all for `backoff` after a block.
class EnginePacer final {
  public:
    EnginePacer(std::chrono::milliseconds interval, std::chrono::seconds backoff);

    // Waits for this engine's turn. False (at once, or when the turn would fall into a
    // back-off, or when Stop was called) means: send nothing. True must be paired with End.
    bool Begin();
    void End(bool blocked);
    // Wakes every waiter with false; later calls of Begin give false.
    void Stop();

  private:
    using Clock = std::chrono::steady_clock;
    std::chrono::milliseconds m_interval;
    std::chrono::seconds m_backoff;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_busy = false;
    bool m_stopped = false;
    Clock::time_point m_nextStart{};
    Clock::time_point m_blockedUntil{};
};
