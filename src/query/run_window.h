#pragma once

#include <array>

#include "common/text.h"

// What a query run reads and changes on the main window. The run calls these from its
// worker thread; every call has taken effect on the GUI thread when it returns, so a later
// read sees it. Column numbers are those of the result table (metrics 1 to 12).
class RunWindow {
  public:
    // The controls whose caption or enabled state a run touches.
    enum class Control {
        StartButton,
        StopButton,
        WeightFilterButton,
        PrFilterButton,
        ExportButton,
        ClearListButton,
        EditAddressesButton,
        StatusLabel,
        CountLabel,
        RunStateLabel,
    };

    virtual ~RunWindow() = default;

    virtual Text Caption(Control control) = 0;
    virtual void SetCaption(Control control, const Text& caption) = 0;
    virtual void SetEnabled(Control control, bool enabled) = 0;

    // The metric check box of a result column (1 to 12).
    virtual bool IsMetricTicked(int column) = 0;
    // Every metric check box at once, indexed by column (index 0 unused). A window whose
    // calls are costly reads them in one call; this one asks each box in turn.
    virtual std::array<bool, 13> MetricTicks() {
        std::array<bool, 13> ticks{};
        for (int column = 1; column <= 12; ++column) ticks[column] = IsMetricTicked(column);
        return ticks;
    }
    virtual void SetMetricChecksEnabled(bool enabled) = 0;

    virtual void HideUntickedColumns() = 0;
    virtual void DeleteAllRows() = 0;
    virtual int AppendRow() = 0;
    virtual void SetCell(int row, int column, const Text& text) = 0;
    virtual int RowCount() = 0;
    virtual void ScrollToRow(int row) = 0;

    virtual void SetProgressVisible(bool visible) = 0;
    virtual void SetProgressMaximum(int maximum) = 0;
    virtual int ProgressPosition() = 0;
    virtual void SetProgressPosition(int position) = 0;

    // A message with no owner window and the OK button; the main window stays usable while
    // it is open. Returns when the user has closed it.
    virtual void ShowMessage(const Text& text) = 0;
};
