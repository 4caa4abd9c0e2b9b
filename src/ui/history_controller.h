#pragma once

#include <QObject>
#include <QPointer>
#include <vector>

#include "history/history_store.h"

class MainWindow;
class MessageBoxRoutine;
class TrendWindow;

// The history as the main window shows it: the store's reports reach the GUI thread here.
// Changed cells of the current run get their notes (tints, "上次：..."); a store that could
// not be written is told once per run on the status line after the run; a double click or
// Enter on a row opens that host's trend window, which follows new values as they arrive.
class HistoryController final : public QObject, public HistoryListener {
    Q_OBJECT

  public:
    HistoryController(MainWindow& window, HistoryStore& store, MessageBoxRoutine& box);
    ~HistoryController() override;

    // Opens (or raises) the trend window of the host; nothing for an empty host.
    TrendWindow* OpenTrendWindow(const Text& host);

    // The status line's addition when the store could not be written.
    static Text FailureNotice(HistoryFailure failure);

    // HistoryListener, from the run's and the store's threads: passed to the GUI thread.
    void HistoryRunStarted(std::int64_t run) override;
    void HistoryChanged(std::int64_t run, const std::vector<CellChange>& changes) override;
    void HistoryHostsWritten(const std::vector<Text>& hosts) override;
    void HistoryRunFinished(std::int64_t run, HistoryFailure failure) override;

  private:
    void NoteChanges(std::int64_t run, const std::vector<CellChange>& changes);
    void RefreshTrends(const std::vector<Text>& hosts);
    void TellFailure(std::int64_t run, HistoryFailure failure);

    MainWindow& m_window;
    HistoryStore& m_store;
    MessageBoxRoutine& m_box;
    std::int64_t m_currentRun = 0;
    std::vector<QPointer<TrendWindow>> m_trends;
};
