#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "history/history_database.h"
#include "history/history_types.h"

// What the store reports. HistoryRunStarted comes on the thread that began the run; the rest
// on the store's writer thread, so an implementation passes them on and returns.
class HistoryListener {
  public:
    virtual ~HistoryListener() = default;
    virtual void HistoryRunStarted(std::int64_t /*run*/) {}
    // Cells of the run whose value differs from the one stored before the run.
    virtual void HistoryChanged(std::int64_t /*run*/, const std::vector<CellChange>& /*changes*/) {}
    // New values of these hosts are stored (also after a host's history was deleted).
    virtual void HistoryHostsWritten(const std::vector<Text>& /*hosts*/) {}
    // Once per run, after its last values: None, or why some of them were not stored.
    virtual void HistoryRunFinished(std::int64_t /*run*/, HistoryFailure /*failure*/) {}
};

// The history file: every write goes through one writer thread, in order, so a run never
// waits on the disk; reads use their own connection on the calling (GUI) thread. A write
// that fails is rolled back whole, so what was stored before stays intact.
class HistoryStore final {
  public:
    explicit HistoryStore(std::string path, HistoryOptions options = {});
    // Writes what is queued, then ends the writer.
    ~HistoryStore();
    HistoryStore(const HistoryStore&) = delete;
    HistoryStore& operator=(const HistoryStore&) = delete;

    const std::string& Path() const { return m_path; }
    void SetListener(HistoryListener* listener);

    // Reads, from one thread (the GUI's). Empty when the file cannot be read.
    std::vector<HistoryEntry> HostHistory(const Text& host);
    std::vector<RunRecord> Runs();

    // Queued writes.
    void DeleteHost(const Text& host);
    void Purge(HistoryTime cutoff);

    // A run's writes, as HistoryRecorder makes them; the run number says which run a batch
    // belongs to.
    std::int64_t BeginRun(HistoryTime started, std::string figures);
    void Record(std::int64_t run, std::vector<HistoryCell> cells);
    void EndRun(std::int64_t run, HistoryTime ended, RunOutcome outcome, int hosts);

    // Returns once everything queued so far is written (or has failed).
    void WaitIdle();

    // Queued cells beyond this count are dropped (and the run told so) rather than let the
    // queue grow without bound while the disk stalls.
    static constexpr std::size_t kMaxQueuedCells = 1'000'000;

  private:
    struct RunState;
    using Task = std::function<void()>;

    void Post(Task task, std::size_t cells = 0);
    void Work();
    bool EnsureWriter();
    // Calls the listener, if any; SetListener waits for a call in progress.
    void Tell(const std::function<void(HistoryListener&)>& call);
    RunState& Run(std::int64_t run);
    void Fail(RunState& run, int code);

    std::string m_path;
    HistoryOptions m_options;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::pair<Task, std::size_t>> m_queue;
    std::size_t m_queuedCells = 0;
    bool m_busy = false;
    bool m_stopping = false;
    std::int64_t m_lastRun = 0;

    // The writer thread's own.
    HistoryDatabase m_writer;
    int m_openError = 0;
    std::vector<std::unique_ptr<RunState>> m_runs;

    std::mutex m_listenerMutex;
    HistoryListener* m_listener = nullptr;

    HistoryDatabase m_reader;

    std::thread m_thread;
};
