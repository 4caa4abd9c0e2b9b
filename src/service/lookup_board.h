#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <unordered_map>

#include "service/figure_source.h"

// The lookups under way and the answers they left, by kind and site, so that one host and
// kind is never looked up twice at once: a request for a lookup under way waits for it, and
// work done ahead of the program stays here until its request comes. A ready answer is
// handed out once; unclaimed ones go after `readyLife` or beyond `capacity`.
class LookupBoard final {
  public:
    using Work = std::function<SourceAnswer()>;

    LookupBoard(std::size_t capacity, std::chrono::seconds readyLife);

    // The figure of `kind` for a site: a ready answer, else the one of the lookup under way,
    // else `work` run on this thread. `kinds` are all the kinds one run of `work` answers
    // (`kind` among them).
    std::string Take(const std::string& kind, const std::string& hostPort,
                     std::span<const std::string> kinds, const Work& work);

    // Runs `work` on this thread unless `kind` of the site is under way or ready; its
    // answers wait for the requests that follow.
    void Prepare(const std::string& kind, const std::string& hostPort,
                 std::span<const std::string> kinds, const Work& work);

    // Waiters give up with -1 from now on.
    void Stop();

  private:
    using Clock = std::chrono::steady_clock;
    struct Entry {
        bool done = false;
        std::map<std::string, std::string, std::less<>> answers;
        std::vector<std::string> keys;
        std::size_t live = 0;  // keys that still lead here
        Clock::time_point doneAt;
    };

    std::shared_ptr<Entry> Register(const std::string& hostPort,
                                    std::span<const std::string> kinds);
    std::string Run(const std::shared_ptr<Entry>& entry, const std::string& kind, const Work& work);
    using Keys = std::unordered_map<std::string, std::shared_ptr<Entry>>;
    void Erase(Keys::iterator key);
    void Drop(const std::shared_ptr<Entry>& entry);
    void PurgeLocked();

    std::size_t m_capacity;
    std::chrono::seconds m_readyLife;
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_stopping = false;
    Keys m_byKey;                                   // "kind hostPort"
    std::deque<std::shared_ptr<Entry>> m_finished;  // oldest first
    std::size_t m_readyKeys = 0;
};
