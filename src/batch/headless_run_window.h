#pragma once

#include <array>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

#include "common/text.h"
#include "query/run_window.h"
#include "results/result_columns.h"

// The run window of a program without a window: the captions, ticks and rows a query run
// reads and writes, kept in memory. Safe to use from the run's thread and a signal thread
// at once.
class HeadlessRunWindow final : public RunWindow {
  public:
    using Row = std::array<Text, kResultColumnCount>;
    // Called on the run's thread each time another host is done.
    using Progress = std::function<void(int done, int total)>;

    HeadlessRunWindow(std::array<bool, 13> ticks, Text countCaption, Progress progress);

    Text Caption(Control control) override;
    void SetCaption(Control control, const Text& caption) override;
    void SetEnabled(Control /*control*/, bool /*enabled*/) override {}
    bool IsMetricTicked(int column) override;
    void SetMetricChecksEnabled(bool /*enabled*/) override {}
    void HideUntickedColumns() override {}
    void DeleteAllRows() override;
    int AppendRow() override;
    void SetCell(int row, int column, const Text& text) override;
    int RowCount() override;
    void ScrollToRow(int /*row*/) override {}
    void SetProgressVisible(bool /*visible*/) override {}
    void SetProgressMaximum(int maximum) override;
    int ProgressPosition() override;
    void SetProgressPosition(int position) override;
    // The run's messages are for a person at a window; the program reports on its own.
    void ShowMessage(const Text& /*text*/) override {}

    std::vector<Row> Rows() const;
    // True once the run has ended having gone through the whole list.
    bool Completed() const;
    // How many hosts the run got through (the run sets the bar back to 0 when it ends).
    int HostsDone() const;

  private:
    const std::array<bool, 13> m_ticks;
    const Progress m_progress;
    mutable std::mutex m_mutex;
    std::map<Control, Text> m_captions;
    std::vector<Row> m_rows;
    int m_progressMaximum = 1;
    int m_progressPosition = 0;
    int m_hostsDone = 0;
};
