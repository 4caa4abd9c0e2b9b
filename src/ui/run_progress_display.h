#pragma once

#include <QObject>
#include <chrono>
#include <functional>
#include <string>

#include "common/text.h"
#include "query/run_pace.h"

class MainWindow;
class QTimer;

// "1分05秒", "45秒", "1小时05分": whole seconds as the status texts show them.
Text DurationText(std::chrono::seconds duration);

// What a run shows besides its status line, seen from the window: while the progress bar is
// shown (a run is going on) its text reads "i/n" and, after a few hosts, the time left at the
// recent pace; once the bar is hidden the footer tells for a while how many hosts the run did,
// how many of their cells failed ("×" or no reply) and how long it took.
class RunProgressDisplay final : public QObject {
    Q_OBJECT

  public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    // `now` is the clock (tests script it); `summaryMs` how long the footer keeps the summary.
    RunProgressDisplay(MainWindow& window, Clock now, int summaryMs = 60'000);

    bool ShowingSummary() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void RunStarted();
    void RunEnded();
    void HostDone(int position);
    void CountCells(const QModelIndex& topLeft, const QModelIndex& bottomRight);
    void RestoreFooter();

    MainWindow& m_window;
    Clock m_now;
    QTimer* m_summaryShown;
    bool m_running = false;
    RunPace m_pace;
    std::chrono::steady_clock::time_point m_started;
    int m_hosts = 0;
    int m_failedCells = 0;
};
