#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "query/metric_lookup.h"
#include "query/run_window.h"

// A main window for the run without widgets: keeps captions, enabled states, ticks, rows and
// the progress bar, and logs every call in order (steps handed over together in brackets). Safe to
// call from the worker while the test reads it. `onCall` runs after a call has been logged, on the
// caller's thread, outside the lock (so it may call back, e.g. to press stop at an exact place). A
// message stays open until CloseMessage() when `holdMessages` is set.
class FakeRunWindow final : public RunWindow {
  public:
    using Row = std::array<Text, 13>;

    std::function<void(const std::string& entry)> onCall;
    bool holdMessages = false;

    FakeRunWindow() {
        for (const Control c : {Control::StartButton, Control::WeightFilterButton,
                                Control::PrFilterButton, Control::EditAddressesButton})
            m_enabled[c] = true;
        for (const Control c :
             {Control::StopButton, Control::ExportButton, Control::ClearListButton})
            m_enabled[c] = false;
        m_captions[Control::StopButton] = "停止查询";
    }

    // Test side.
    void Tick(std::initializer_list<int> columns) {
        std::lock_guard lock(m_mutex);
        for (const int c : columns) m_ticked[static_cast<std::size_t>(c)] = true;
    }
    void Put(Control control, const Text& caption) {
        std::lock_guard lock(m_mutex);
        m_captions[control] = caption;
    }
    Text Get(Control control) {
        std::lock_guard lock(m_mutex);
        return m_captions[control];
    }
    bool Enabled(Control control) {
        std::lock_guard lock(m_mutex);
        return m_enabled[control];
    }
    bool ChecksEnabled() {
        std::lock_guard lock(m_mutex);
        return m_checksEnabled;
    }
    std::vector<Row> Rows() {
        std::lock_guard lock(m_mutex);
        return m_rows;
    }
    std::vector<std::string> Log() {
        std::lock_guard lock(m_mutex);
        return m_log;
    }
    std::vector<Text> Messages() {
        std::lock_guard lock(m_mutex);
        return m_messages;
    }
    int Maximum() {
        std::lock_guard lock(m_mutex);
        return m_maximum;
    }
    int Position() {
        std::lock_guard lock(m_mutex);
        return m_position;
    }
    bool ProgressVisible() {
        std::lock_guard lock(m_mutex);
        return m_progressVisible;
    }
    bool MessageOpen() {
        std::lock_guard lock(m_mutex);
        return m_messageOpen;
    }
    bool WaitForMessage() {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(10), [this] { return m_messageOpen; });
    }
    // Adds a line of the test's own to the log (e.g. where the pause fell).
    void Note(const std::string& entry) {
        Record(entry, [] {});
    }
    void CloseMessage() {
        {
            std::lock_guard lock(m_mutex);
            m_messageOpen = false;
        }
        m_changed.notify_all();
    }

    // RunWindow.
    Text Caption(Control control) override {
        Text caption;
        Record("Caption " + Name(control), [&] { caption = m_captions[control]; });
        return caption;
    }
    void SetCaption(Control control, const Text& caption) override {
        Record("SetCaption " + Name(control) + " " + caption,
               [&] { m_captions[control] = caption; });
    }
    void SetEnabled(Control control, bool enabled) override {
        Record("SetEnabled " + Name(control) + (enabled ? " 1" : " 0"),
               [&] { m_enabled[control] = enabled; });
    }
    bool IsMetricTicked(int column) override {
        bool ticked = false;
        Record("IsMetricTicked " + std::to_string(column),
               [&] { ticked = m_ticked[static_cast<std::size_t>(column)]; });
        return ticked;
    }
    void SetMetricChecksEnabled(bool enabled) override {
        Record(std::string("SetMetricChecksEnabled ") + (enabled ? "1" : "0"),
               [&] { m_checksEnabled = enabled; });
    }
    void HideUntickedColumns() override {
        Record("HideUntickedColumns", [] {});
    }
    void DeleteAllRows() override {
        Record("DeleteAllRows", [&] { m_rows.clear(); });
    }
    int AppendRow() override {
        int row = 0;
        Record("AppendRow", [&] {
            row = static_cast<int>(m_rows.size());
            m_rows.emplace_back();
        });
        return row;
    }
    void SetCell(int row, int column, const Text& text) override {
        Record("SetCell " + std::to_string(row) + " " + std::to_string(column) + " " + text, [&] {
            if (row >= 0 && row < static_cast<int>(m_rows.size()))
                m_rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = text;
        });
    }
    int RowCount() override {
        int count = 0;
        Record("RowCount", [&] { count = static_cast<int>(m_rows.size()); });
        return count;
    }
    void ScrollToRow(int row) override {
        Record("ScrollToRow " + std::to_string(row), [] {});
    }
    void SetProgressVisible(bool visible) override {
        Record(std::string("SetProgressVisible ") + (visible ? "1" : "0"),
               [&] { m_progressVisible = visible; });
    }
    void SetProgressMaximum(int maximum) override {
        Record("SetProgressMaximum " + std::to_string(maximum), [&] { m_maximum = maximum; });
    }
    int ProgressPosition() override {
        int position = 0;
        Record("ProgressPosition", [&] { position = m_position; });
        return position;
    }
    void SetProgressPosition(int position) override {
        Record("SetProgressPosition " + std::to_string(position), [&] { m_position = position; });
    }
    // Logged as "[" ... "]" around the steps.
    void Together(const std::function<void(RunWindow&)>& steps) override {
        Record("[", [&] { m_together = true; });
        steps(*this);
        Record("]", [&] { m_together = false; });
    }
    bool InTogether() {
        std::lock_guard lock(m_mutex);
        return m_together;
    }
    void ShowMessage(const Text& text) override {
        Record("ShowMessage " + text, [&] {
            m_messages.push_back(text);
            m_messageOpen = holdMessages;
        });
        m_changed.notify_all();
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_messageOpen; });
    }

  private:
    static std::string Name(Control control) {
        switch (control) {
            case Control::StartButton:
                return "StartButton";
            case Control::StopButton:
                return "StopButton";
            case Control::WeightFilterButton:
                return "WeightFilterButton";
            case Control::PrFilterButton:
                return "PrFilterButton";
            case Control::ExportButton:
                return "ExportButton";
            case Control::ClearListButton:
                return "ClearListButton";
            case Control::EditAddressesButton:
                return "EditAddressesButton";
            case Control::StatusLabel:
                return "StatusLabel";
            case Control::CountLabel:
                return "CountLabel";
            case Control::RunStateLabel:
                return "RunStateLabel";
        }
        return "?";
    }

    template <typename Apply>
    void Record(const std::string& entry, Apply apply) {
        {
            std::lock_guard lock(m_mutex);
            m_log.push_back(entry);
            apply();
        }
        if (onCall) onCall(entry);
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::map<Control, Text> m_captions;
    std::map<Control, bool> m_enabled;
    std::array<bool, 13> m_ticked{};
    bool m_checksEnabled = true;
    std::vector<Row> m_rows;
    std::vector<std::string> m_log;
    std::vector<Text> m_messages;
    bool m_messageOpen = false;
    bool m_together = false;
    bool m_progressVisible = false;
    int m_maximum = 100;
    int m_position = 0;
};

// Answers every lookup with "kind:address" and records it. `onRequest` runs before the
// answer, on the worker. One chosen request (counted from 0) can be held until Release() or
// CancelLookups().
class FakeLookup final : public MetricLookup {
  public:
    struct Request {
        std::string kind;
        Text address;
        bool operator==(const Request&) const = default;
    };

    std::function<void(const Request&)> onRequest;
    int holdRequest = -1;

    Text LookupMetric(const Metric& metric, const Text& address) override {
        Request request{std::string(metric.kind), address};
        std::unique_lock lock(m_mutex);
        const int index = static_cast<int>(m_requests.size());
        m_requests.push_back(request);
        if (index == holdRequest) {
            m_held = true;
            m_changed.notify_all();
            m_changed.wait(lock, [this] { return !m_held; });
        }
        lock.unlock();
        if (onRequest) onRequest(request);
        return request.kind + ":" + address;
    }

    struct Plan {
        std::vector<Text> addresses;
        std::array<bool, 13> ticks;
        std::size_t requestsBefore;
    };
    void PlanRun(const std::vector<Text>& addresses, const std::array<bool, 13>& ticks) override {
        std::lock_guard lock(m_mutex);
        m_plans.push_back({addresses, ticks, m_requests.size()});
    }
    std::vector<Plan> Plans() {
        std::lock_guard lock(m_mutex);
        return m_plans;
    }

    // A cancelled lookup gives up at once, also the one being held.
    void CancelLookups() override {
        {
            std::lock_guard lock(m_mutex);
            m_cancelled = true;
            m_held = false;
        }
        m_changed.notify_all();
    }
    bool Cancelled() {
        std::lock_guard lock(m_mutex);
        return m_cancelled;
    }
    std::vector<Request> Requests() {
        std::lock_guard lock(m_mutex);
        return m_requests;
    }
    bool WaitUntilHeld() {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(10), [this] { return m_held; });
    }
    bool Held() {
        std::lock_guard lock(m_mutex);
        return m_held;
    }
    void Release() {
        {
            std::lock_guard lock(m_mutex);
            m_held = false;
        }
        m_changed.notify_all();
    }

  private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Request> m_requests;
    std::vector<Plan> m_plans;
    bool m_held = false;
    bool m_cancelled = false;
};
