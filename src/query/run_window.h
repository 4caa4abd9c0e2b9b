#pragma once

#include <functional>

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

    // Carries out `steps` (calls on the window it is given) as one access: a window whose
    // calls cross threads makes them all in one visit to its thread, in order, and returns
    // when all have taken effect. The steps must not wait for anything but the window.
    virtual void Together(const std::function<void(RunWindow&)>& steps) { steps(*this); }

    // A message with the OK button, kept above the main window yet not modal: the window stays
    // usable while it is open. Returns when the user has closed it.
    virtual void ShowMessage(const Text& text) = 0;
};
