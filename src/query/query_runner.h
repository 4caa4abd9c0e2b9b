#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "query/query_run.h"

class AddressFile;
class MetricLookup;
class RunRecorder;
class RunWindow;

// Owns the worker thread of the query runs that the start button asks for. One run at a
// time: a press while the previous worker has not finished is refused, which also covers the
// start of a run, when the start button is still enabled. The worker never outlives this
// object: the destructor abandons a run in progress (no further window changes, the loop
// ends at once, a lookup in flight is cancelled) and joins the worker.
class QueryRunner final {
  public:
    struct Options {
        // Runs after every completed address; empty means the program's 50 ms pause.
        QueryRun::Pause pause;
        // Called over and over while the destructor waits for an abandoned worker: it has to
        // let a window call the worker is blocked in complete and close the worker's open
        // message. Empty when the window needs no help (a window not bound to a thread).
        std::function<void()> whileWaiting;
        // Told what each run does (the history); may be null.
        RunRecorder* recorder = nullptr;
    };

    QueryRunner(RunWindow& window, const AddressFile& addresses, MetricLookup& lookup,
                Options options);
    ~QueryRunner();
    QueryRunner(const QueryRunner&) = delete;
    QueryRunner& operator=(const QueryRunner&) = delete;

    // Starts a worker that performs one run and returns at once. False, and nothing
    // started, while the previous run's worker is still going.
    bool StartQueryRun();

    bool IsRunActive() const;

  private:
    class GuardedWindow;

    void Work();
    void Pause();

    std::unique_ptr<GuardedWindow> m_window;
    const AddressFile& m_addresses;
    MetricLookup& m_lookup;
    Options m_options;

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_active = false;
    bool m_abandoned = false;
    std::thread m_worker;
};
