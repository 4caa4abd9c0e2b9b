#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "service/run_plan.h"
#include "service/site_address.h"

// Works ahead of the programs that told their run plan: for each plan, the lookups of the
// host a program is at and of the next `windowHosts` hosts, on `workers` threads. The window
// moves with the requests that arrive, so without them at most one window of work is done.
// Kinds in one lane (one engine) are worked one at a time, in plan order.
class AheadPlanner final {
  public:
    struct Options {
        std::size_t windowHosts = 32;
        std::size_t workers = 16;
        // A plan whose hosts have not been asked for this long is dropped.
        std::chrono::milliseconds idle{std::chrono::minutes(2)};
        std::size_t maxPlans = 16;
        std::size_t maxPlanBytes = 256 * 1024 * 1024;  // all plans together
    };
    // How a kind is worked: nullopt for a kind with no work; else its lane, nullptr for work
    // that may run side by side with any other.
    using LaneOf = std::function<std::optional<const void*>(const std::string& kind)>;
    // Does the work of one kind for one site (at once when it is done or under way).
    using Prepare = std::function<void(const std::string& kind, const SiteAddress& site)>;

    AheadPlanner(Options options, LaneOf laneOf, Prepare prepare);
    ~AheadPlanner();
    AheadPlanner(const AheadPlanner&) = delete;
    AheadPlanner& operator=(const AheadPlanner&) = delete;

    // A new plan; it replaces the plan of the same client.
    void Take(RunPlan plan);
    // A request for `hostPort` arrived: the windows that hold it move up to it.
    void Follow(const std::string& hostPort);
    // Drops every plan and waits for the lookups under way to end.
    void Stop();

    std::size_t PlanCount();

  private:
    using Clock = std::chrono::steady_clock;
    struct Kind {
        std::string kind;
        const void* lane;
    };
    struct Slot {
        SiteAddress site;
        std::uint32_t dispatched = 0;  // bit i: kinds[i] handed to a worker
    };
    struct Plan {
        RunPlan plan;
        std::vector<Kind> kinds;
        std::deque<Slot> window;  // the host the program is at first, once it has asked
        std::size_t scanned = 0;  // plan entries read into the window so far
        bool followed = false;
        Clock::time_point lastSeen;
        std::size_t footprint = 0;
    };
    struct Job {
        std::string kind;
        SiteAddress site;
        const void* lane;
    };

    void Work();
    std::optional<Job> PickLocked();
    void FillLocked(Plan& plan);
    void ExpireLocked(Clock::time_point now);

    Options m_options;
    LaneOf m_laneOf;
    Prepare m_prepare;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_stopping = false;
    std::vector<std::unique_ptr<Plan>> m_plans;
    std::atomic<bool> m_anyPlan = false;  // lets requests pass without the lock when none
    std::size_t m_nextPlan = 0;           // plans take turns at the workers
    std::set<const void*> m_busyLanes;
    std::vector<std::thread> m_workers;
};
