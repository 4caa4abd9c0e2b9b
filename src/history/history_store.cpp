#include "history/history_store.h"

#include <algorithm>
#include <set>

struct HistoryStore::RunState {
    std::int64_t run = 0;
    std::int64_t id = 0;  // the row in the runs table; 0 when it could not be written
    HistoryTime started = 0;
    HistoryFailure failure = HistoryFailure::None;
};

HistoryStore::HistoryStore(std::string path, HistoryOptions options)
    : m_path(std::move(path)), m_options(options), m_thread([this] { Work(); }) {}

HistoryStore::~HistoryStore() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void HistoryStore::SetListener(HistoryListener* listener) {
    std::lock_guard lock(m_listenerMutex);
    m_listener = listener;
}

void HistoryStore::Tell(const std::function<void(HistoryListener&)>& call) {
    std::lock_guard lock(m_listenerMutex);
    if (m_listener != nullptr) call(*m_listener);
}

std::vector<HistoryEntry> HistoryStore::HostHistory(const Text& host) {
    if (m_path.empty()) return {};
    if (!m_reader.IsOpen() && m_reader.Open(m_path, {200, 0, 0}) != SQLITE_OK) return {};
    return m_reader.HostHistory(host);
}

std::vector<RunRecord> HistoryStore::Runs() {
    if (m_path.empty()) return {};
    if (!m_reader.IsOpen() && m_reader.Open(m_path, {200, 0, 0}) != SQLITE_OK) return {};
    return m_reader.Runs();
}

void HistoryStore::Post(Task task, std::size_t cells) {
    {
        std::lock_guard lock(m_mutex);
        m_queue.emplace_back(std::move(task), cells);
        m_queuedCells += cells;
    }
    m_changed.notify_all();
}

void HistoryStore::WaitIdle() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_queue.empty() && !m_busy; });
}

void HistoryStore::Work() {
    // Opened at once, so the first run finds the file ready; a failure is retried later.
    EnsureWriter();
    std::unique_lock lock(m_mutex);
    while (true) {
        m_changed.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
        if (m_queue.empty()) return;
        auto [task, cells] = std::move(m_queue.front());
        m_queue.pop_front();
        m_busy = true;
        const bool ending = m_stopping;
        lock.unlock();
        // The program is ending: what a lock holds back is not waited for batch after batch.
        if (ending) m_writer.SetBusyTimeout(0);
        task();
        lock.lock();
        m_queuedCells -= cells;
        m_busy = false;
        m_changed.notify_all();
    }
}

bool HistoryStore::EnsureWriter() {
    if (m_writer.IsOpen()) return true;
    // SQLite would take an empty name for a private temporary file: nothing would be kept.
    if (m_path.empty()) {
        m_openError = SQLITE_CANTOPEN;
        return false;
    }
    m_openError = m_writer.Open(m_path, m_options);
    return m_writer.IsOpen();
}

HistoryStore::RunState& HistoryStore::Run(std::int64_t run) {
    const auto found = std::find_if(m_runs.begin(), m_runs.end(),
                                    [run](const auto& state) { return state->run == run; });
    if (found != m_runs.end()) return **found;
    m_runs.push_back(std::make_unique<RunState>());
    m_runs.back()->run = run;
    return *m_runs.back();
}

void HistoryStore::Fail(RunState& run, int code) {
    if (run.failure == HistoryFailure::None) run.failure = FailureOf(code);
    if (run.failure == HistoryFailure::None) run.failure = HistoryFailure::Other;
}

void HistoryStore::DeleteHost(const Text& host) {
    Post([this, host] {
        if (EnsureWriter() && m_writer.DeleteHost(host) == SQLITE_OK) {
            Tell([&host](HistoryListener& l) { l.HistoryHostsWritten({host}); });
        }
    });
}

void HistoryStore::Purge(HistoryTime cutoff) {
    Post([this, cutoff] {
        if (EnsureWriter()) m_writer.Purge(cutoff);
    });
}

std::int64_t HistoryStore::BeginRun(HistoryTime started, std::string figures) {
    std::int64_t run = 0;
    {
        std::lock_guard lock(m_mutex);
        run = ++m_lastRun;
    }
    Tell([run](HistoryListener& l) { l.HistoryRunStarted(run); });
    Post([this, run, started, figures = std::move(figures)] {
        RunState& state = Run(run);
        state.started = started;
        if (!EnsureWriter()) {
            Fail(state, m_openError);
            return;
        }
        if (const int code = m_writer.BeginRun(started, figures, &state.id); code != SQLITE_OK) {
            state.id = 0;
            Fail(state, code);
        }
    });
    return run;
}

void HistoryStore::Record(std::int64_t run, std::vector<HistoryCell> cells) {
    if (cells.empty()) return;
    bool backlog = false;
    {
        std::lock_guard lock(m_mutex);
        backlog = m_queuedCells + cells.size() > kMaxQueuedCells;
    }
    if (backlog) {
        Post([this, run] {
            RunState& state = Run(run);
            if (state.failure == HistoryFailure::None) state.failure = HistoryFailure::Backlog;
        });
        return;
    }
    const std::size_t count = cells.size();
    Post(
        [this, run, cells = std::move(cells)] {
            RunState& state = Run(run);
            if (!EnsureWriter()) {
                Fail(state, m_openError);
                return;
            }
            std::vector<CellChange> changes;
            const int code = m_writer.Record(cells, state.started, &changes);
            if (code != SQLITE_OK) {
                Fail(state, code);
                return;
            }
            std::vector<Text> hosts;
            std::set<Text> seen;
            for (const HistoryCell& cell : cells) {
                if (seen.insert(cell.host).second) hosts.push_back(cell.host);
            }
            Tell([&](HistoryListener& l) {
                if (!changes.empty()) l.HistoryChanged(run, changes);
                l.HistoryHostsWritten(hosts);
            });
        },
        count);
}

void HistoryStore::EndRun(std::int64_t run, HistoryTime ended, RunOutcome outcome, int hosts) {
    Post([this, run, ended, outcome, hosts] {
        RunState& state = Run(run);
        if (state.id != 0 && m_writer.IsOpen()) {
            if (const int code = m_writer.EndRun(state.id, ended, outcome, hosts);
                code != SQLITE_OK) {
                Fail(state, code);
            }
        }
        const HistoryFailure failure = state.failure;
        m_runs.erase(std::find_if(m_runs.begin(), m_runs.end(),
                                  [run](const auto& s) { return s->run == run; }));
        Tell([run, failure](HistoryListener& l) { l.HistoryRunFinished(run, failure); });
    });
}
