#include "ui/query_controller.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "ui/main_window.h"

namespace {

// While the destructor waits for an abandoned worker: the worker's message boxes are the only ones
// left open once the program is ending; closing one lets the worker go on, and the events let a
// window call it is blocked in complete.
void ServeAbandonedWorker() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (box != nullptr && box->isVisible()) box->done(QMessageBox::Ok);
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

}  // namespace

QueryController::QueryController(MainWindow& window, RunWindow& runWindow,
                                 const AddressFile& addresses, MetricLookup& lookup,
                                 QueryRun::Pause pause, RunRecorder* recorder)
    : m_runWindow(runWindow),
      m_runner(runWindow, addresses, lookup, {std::move(pause), ServeAbandonedWorker, recorder}) {
    m_startClicks =
        connect(window.StartButton(), &QPushButton::clicked, this, &QueryController::StartQueryRun);
    m_stopClicks =
        connect(window.StopButton(), &QPushButton::clicked, this, &QueryController::RequestStop);
}

QueryController::~QueryController() {
    // The runner serves events while it waits for its worker: no click may reach us then.
    disconnect(m_startClicks);
    disconnect(m_stopClicks);
}

void QueryController::StartQueryRun() {
    // A press while the previous worker is still going (it starts with the button enabled) is
    // refused: two workers would interleave their rows in one table.
    m_runner.StartQueryRun();
}

void QueryController::RequestStop() {
    ::RequestStop(m_runWindow);
}
