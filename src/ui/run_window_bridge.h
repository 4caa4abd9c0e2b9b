#pragma once

#include "query/run_window.h"

class MainWindow;
class QWidget;

// The main window as a query run's worker sees it: every call is carried out by the GUI
// thread while the worker waits (or directly when already on it), so it has taken effect
// when it returns. Table changes reach the model at once; the list repaints a little later,
// once for many changes.
class RunWindowBridge final : public RunWindow {
  public:
    explicit RunWindowBridge(MainWindow& window) : m_window(window) {}

    Text Caption(Control control) override;
    void SetCaption(Control control, const Text& caption) override;
    void SetEnabled(Control control, bool enabled) override;

    bool IsMetricTicked(int column) override;
    void SetMetricChecksEnabled(bool enabled) override;

    void HideUntickedColumns() override;
    void DeleteAllRows() override;
    int AppendRow() override;
    void SetCell(int row, int column, const Text& text) override;
    int RowCount() override;
    void ScrollToRow(int row) override;

    void SetProgressVisible(bool visible) override;
    void SetProgressMaximum(int maximum) override;
    int ProgressPosition() override;
    void SetProgressPosition(int position) override;

    // One visit to the GUI thread for all the steps, which call this face directly there.
    void Together(const std::function<void(RunWindow&)>& steps) override;

    void ShowMessage(const Text& text) override;

  private:
    QWidget* Widget(Control control) const;

    MainWindow& m_window;
};
