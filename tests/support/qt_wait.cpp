#include "support/qt_wait.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QMessageBox>
#include <QTimer>

bool WaitUntil(const std::function<bool()>& done) {
    const QDeadlineTimer deadline(10'000);
    QTimer tick;  // wakes the loop for conditions that no event announces
    tick.start(5);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

QMessageBox* OpenMessage() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (box != nullptr && box->isVisible()) return box;
    }
    return nullptr;
}
