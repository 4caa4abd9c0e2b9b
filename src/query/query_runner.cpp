#include "query/query_runner.h"

#include <atomic>
#include <chrono>
#include <system_error>

#include "query/metric_lookup.h"
#include "query/run_window.h"

// Passes the worker's calls to the window until the runner is being destroyed; from then on
// nothing reaches the window (steps handed over together are skipped), the run state reads
// "停止" and no metric is ticked, so the worker runs to its end without touching the window or
// the service again.
class QueryRunner::GuardedWindow final : public RunWindow {
  public:
    explicit GuardedWindow(RunWindow& window) : m_window(window) {}

    void Abandon() { m_abandoned.store(true); }

    Text Caption(Control control) override {
        if (!Abandoned()) return m_window.Caption(control);
        return control == Control::RunStateLabel ? Text(kRunStateStop) : Text();
    }
    void SetCaption(Control control, const Text& caption) override {
        if (!Abandoned()) m_window.SetCaption(control, caption);
    }
    void SetEnabled(Control control, bool enabled) override {
        if (!Abandoned()) m_window.SetEnabled(control, enabled);
    }
    bool IsMetricTicked(int column) override {
        return !Abandoned() && m_window.IsMetricTicked(column);
    }
    void SetMetricChecksEnabled(bool enabled) override {
        if (!Abandoned()) m_window.SetMetricChecksEnabled(enabled);
    }
    void HideUntickedColumns() override {
        if (!Abandoned()) m_window.HideUntickedColumns();
    }
    void DeleteAllRows() override {
        if (!Abandoned()) m_window.DeleteAllRows();
    }
    int AppendRow() override { return Abandoned() ? -1 : m_window.AppendRow(); }
    void SetCell(int row, int column, const Text& text) override {
        if (!Abandoned()) m_window.SetCell(row, column, text);
    }
    int RowCount() override { return Abandoned() ? 0 : m_window.RowCount(); }
    void ScrollToRow(int row) override {
        if (!Abandoned()) m_window.ScrollToRow(row);
    }
    void SetProgressVisible(bool visible) override {
        if (!Abandoned()) m_window.SetProgressVisible(visible);
    }
    void SetProgressMaximum(int maximum) override {
        if (!Abandoned()) m_window.SetProgressMaximum(maximum);
    }
    int ProgressPosition() override { return Abandoned() ? 0 : m_window.ProgressPosition(); }
    void SetProgressPosition(int position) override {
        if (!Abandoned()) m_window.SetProgressPosition(position);
    }
    void Together(const std::function<void(RunWindow&)>& steps) override {
        if (!Abandoned()) m_window.Together(steps);
    }
    void ShowMessage(const Text& text) override {
        if (!Abandoned()) m_window.ShowMessage(text);
    }

  private:
    bool Abandoned() const { return m_abandoned.load(); }

    RunWindow& m_window;
    std::atomic<bool> m_abandoned{false};
};

QueryRunner::QueryRunner(RunWindow& window, const AddressFile& addresses, MetricLookup& lookup,
                         Options options)
    : m_window(std::make_unique<GuardedWindow>(window)),
      m_addresses(addresses),
      m_lookup(lookup),
      m_options(std::move(options)) {}

QueryRunner::~QueryRunner() {
    m_window->Abandon();
    if (m_worker.joinable()) m_lookup.CancelLookups();
    {
        std::lock_guard lock(m_mutex);
        m_abandoned = true;
    }
    m_changed.notify_all();
    if (!m_worker.joinable()) return;
    // A lookup in flight gives up soon. The worker may also be blocked in a window call that
    // only the caller's thread can carry out, or in an open message: let the caller serve
    // those until the worker is through.
    if (m_options.whileWaiting) {
        std::unique_lock lock(m_mutex);
        while (m_active) {
            lock.unlock();
            m_options.whileWaiting();
            lock.lock();
            m_changed.wait_for(lock, std::chrono::milliseconds(5), [this] { return !m_active; });
        }
    }
    m_worker.join();
}

bool QueryRunner::StartQueryRun() {
    {
        std::lock_guard lock(m_mutex);
        if (m_active || m_abandoned) return false;
    }
    // The previous worker has finished its run; only the thread's own exit may be left.
    if (m_worker.joinable()) m_worker.join();
    {
        std::lock_guard lock(m_mutex);
        m_active = true;
    }
    try {
        m_worker = std::thread([this] { Work(); });
    } catch (const std::system_error&) {
        std::lock_guard lock(m_mutex);
        m_active = false;
        return false;
    }
    return true;
}

bool QueryRunner::IsRunActive() const {
    std::lock_guard lock(m_mutex);
    return m_active;
}

void QueryRunner::Work() {
    QueryRun::Pause pause = m_options.pause;
    if (!pause) pause = [this] { Pause(); };
    QueryRun(*m_window, m_addresses, m_lookup, std::move(pause), m_options.recorder).Run();
    {
        std::lock_guard lock(m_mutex);
        m_active = false;
    }
    m_changed.notify_all();
}

void QueryRunner::Pause() {
    // At least 50 ms; cut short only when the run is being abandoned.
    std::unique_lock lock(m_mutex);
    m_changed.wait_for(lock, std::chrono::milliseconds(50), [this] { return m_abandoned; });
}
