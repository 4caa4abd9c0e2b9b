#pragma once

#include <QObject>

#include "query/query_runner.h"

class AddressFile;
class MainWindow;
class MetricLookup;
class RunRecorder;
class RunWindow;

// The start and stop buttons of the main window. A run's worker sees the window only through
// `runWindow`; it is started by StartButton and asked to stop by StopButton. Destroying the
// controller during a run abandons the run (the program is ending), cancels a lookup in flight
// and waits for the worker, serving its pending window calls and closing its open message.
class QueryController final : public QObject {
    Q_OBJECT

  public:
    // `pause` replaces the 50 ms pause after each address (tests); empty keeps it.
    // `recorder`, when given, receives every run's cells (the history).
    QueryController(MainWindow& window, RunWindow& runWindow, const AddressFile& addresses,
                    MetricLookup& lookup, QueryRun::Pause pause = {},
                    RunRecorder* recorder = nullptr);
    ~QueryController() override;

    // The handlers of StartButton and StopButton.
    void StartQueryRun();
    void RequestStop();

    bool IsRunActive() const { return m_runner.IsRunActive(); }

  private:
    RunWindow& m_runWindow;
    QueryRunner m_runner;
    QMetaObject::Connection m_startClicks;
    QMetaObject::Connection m_stopClicks;
};
