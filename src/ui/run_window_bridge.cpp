#include "ui/run_window_bridge.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QEventLoop>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSemaphore>
#include <QThread>
#include <memory>
#include <type_traits>

#include "common/message_box.h"
#include "platform/qt_message_box.h"
#include "platform/qt_text.h"
#include "results/result_model.h"
#include "ui/main_window.h"
#include "ui/result_list.h"

namespace {

// Runs `work` on the thread of `context` and returns its result once it has run.
template <class Work>
auto OnGuiThread(QObject* context, Work work) -> std::invoke_result_t<Work&> {
    using Result = std::invoke_result_t<Work&>;
    if (QThread::currentThread() == context->thread()) return work();
    if constexpr (std::is_void_v<Result>) {
        QMetaObject::invokeMethod(context, work, Qt::BlockingQueuedConnection);
    } else {
        Result result{};
        QMetaObject::invokeMethod(
            context, [&result, &work] { result = work(); }, Qt::BlockingQueuedConnection);
        return result;
    }
}

// Owned by the main window, so it stays above it and is never lost behind it; not modal, so the
// window (its row menu, for one) stays usable while it is open.
QMessageBox* MakeMessageBox(const Text& text, QWidget* owner) {
    auto* box = new QMessageBox(owner);
    FillMessageBox(*box, text, MessageBoxRoutine::kOk, MessageBoxRoutine::DefaultCaption());
    box->setWindowModality(Qt::NonModal);
    box->setModal(false);
    // It must not keep the program going once the main window closes.
    box->setAttribute(Qt::WA_QuitOnClose, false);
    QObject::connect(box, &QMessageBox::finished, box, &QObject::deleteLater);
    return box;
}

}  // namespace

QWidget* RunWindowBridge::Widget(Control control) const {
    switch (control) {
        case Control::StartButton:
            return m_window.StartButton();
        case Control::StopButton:
            return m_window.StopButton();
        case Control::WeightFilterButton:
            return m_window.WeightFilterButton();
        case Control::PrFilterButton:
            return m_window.PrFilterButton();
        case Control::ExportButton:
            return m_window.ExportButton();
        case Control::ClearListButton:
            return m_window.ClearListButton();
        case Control::EditAddressesButton:
            return m_window.EditAddressesButton();
        case Control::StatusLabel:
            return m_window.StatusLabel();
        case Control::CountLabel:
            return m_window.CountLabel();
        case Control::RunStateLabel:
            return m_window.RunStateLabel();
    }
    return nullptr;
}

Text RunWindowBridge::Caption(Control control) {
    return OnGuiThread(&m_window, [this, control] {
        QWidget* widget = Widget(control);
        if (const auto* label = qobject_cast<QLabel*>(widget)) return FromQString(label->text());
        if (const auto* button = qobject_cast<QAbstractButton*>(widget)) {
            return FromQString(button->text());
        }
        return Text();
    });
}

void RunWindowBridge::SetCaption(Control control, const Text& caption) {
    OnGuiThread(&m_window, [this, control, &caption] {
        QWidget* widget = Widget(control);
        if (auto* label = qobject_cast<QLabel*>(widget)) label->setText(ToQString(caption));
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            button->setText(ToQString(caption));
        }
    });
}

void RunWindowBridge::SetEnabled(Control control, bool enabled) {
    OnGuiThread(&m_window, [this, control, enabled] { Widget(control)->setEnabled(enabled); });
}

bool RunWindowBridge::IsMetricTicked(int column) {
    return OnGuiThread(&m_window, [this, column] { return m_window.IsMetricTicked(column); });
}

void RunWindowBridge::SetMetricChecksEnabled(bool enabled) {
    OnGuiThread(&m_window, [this, enabled] {
        for (int column = 1; column < kResultColumnCount; ++column) {
            m_window.MetricCheck(column)->setEnabled(enabled);
        }
    });
}

void RunWindowBridge::HideUntickedColumns() {
    OnGuiThread(&m_window, [this] { m_window.HideUntickedColumns(); });
}

void RunWindowBridge::DeleteAllRows() {
    OnGuiThread(&m_window, [this] { m_window.Results().DeleteAllRows(); });
}

int RunWindowBridge::AppendRow() {
    return OnGuiThread(&m_window, [this] {
        m_window.ResultTable()->DeferNewRows();
        return m_window.Results().AppendRow();
    });
}

void RunWindowBridge::SetCell(int row, int column, const Text& text) {
    OnGuiThread(&m_window,
                [this, row, column, &text] { m_window.Results().SetCell(row, column, text); });
}

int RunWindowBridge::RowCount() {
    return OnGuiThread(&m_window, [this] { return m_window.Results().RowCount(); });
}

void RunWindowBridge::ScrollToRow(int row) {
    OnGuiThread(&m_window, [this, row] { m_window.ResultTable()->ScrollToRowDeferred(row); });
}

void RunWindowBridge::SetProgressVisible(bool visible) {
    OnGuiThread(&m_window, [this, visible] { m_window.ProgressBar()->setVisible(visible); });
}

void RunWindowBridge::SetProgressMaximum(int maximum) {
    OnGuiThread(&m_window, [this, maximum] { m_window.ProgressBar()->setMaximum(maximum); });
}

int RunWindowBridge::ProgressPosition() {
    return OnGuiThread(&m_window, [this] { return m_window.ProgressBar()->value(); });
}

void RunWindowBridge::SetProgressPosition(int position) {
    OnGuiThread(&m_window, [this, position] { m_window.ProgressBar()->setValue(position); });
}

void RunWindowBridge::Together(const std::function<void(RunWindow&)>& steps) {
    OnGuiThread(&m_window, [this, &steps] { steps(*this); });
}

void RunWindowBridge::ShowMessage(const Text& text) {
    if (QThread::currentThread() == m_window.thread()) {
        // No worker to park: wait in a local loop so the window keeps working meanwhile.
        QEventLoop untilClosed;
        QMessageBox* box = MakeMessageBox(text, &m_window);
        QObject::connect(box, &QMessageBox::finished, &untilClosed, &QEventLoop::quit);
        box->show();
        untilClosed.exec();
        return;
    }
    // Shared, because the GUI thread may still be inside release() when the worker wakes.
    const auto closed = std::make_shared<QSemaphore>();
    QMetaObject::invokeMethod(
        &m_window,
        [this, &text, closed] {
            QMessageBox* box = MakeMessageBox(text, &m_window);
            QObject::connect(box, &QMessageBox::finished, box, [closed] { closed->release(); });
            box->show();
        },
        Qt::BlockingQueuedConnection);
    closed->acquire();
}
