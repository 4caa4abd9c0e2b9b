#include "ui/run_window_bridge.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QWindow>
#include <atomic>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "platform/qt_text.h"
#include "results/result_model.h"
#include "ui/main_window.h"
#include "ui/result_list.h"

namespace {

using Control = RunWindow::Control;

class RunWindowBridgeTest : public ::testing::Test {
  protected:
    RunWindowBridgeTest() : m_face(m_window) {
        m_window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&m_window));
    }

    // Runs `work` on a worker thread while the GUI thread keeps serving events.
    void OnWorker(const std::function<void()>& work) {
        std::atomic<bool> done = false;
        std::thread worker([&] {
            work();
            done = true;
        });
        const bool finished = QTest::qWaitFor([&] { return done.load(); }, 20'000);
        worker.join();
        ASSERT_TRUE(finished);
    }

    MainWindow m_window;
    RunWindowBridge m_face;
};

QMessageBox* OpenMessageBox() {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(top); box != nullptr && box->isVisible()) {
            return box;
        }
    }
    return nullptr;
}

TEST_F(RunWindowBridgeTest, WorkerCallsHaveTakenEffectWhenTheyReturn) {
    struct Seen {
        Text status, runState, count;
        bool stopEnabled = false, ticked1 = false, ticked2 = true;
        int firstRow = -1, secondRow = -1, rowsAfterAppend = -1, rowsAfterClear = -1;
        Text cell;
        int progress = -1;
    } seen;
    ResultModel& results = m_window.Results();
    results.SetCell(results.AppendRow(), 0, "old.com");

    OnWorker([&] {
        m_face.SetCaption(Control::RunStateLabel, "正常运行");
        seen.runState = m_face.Caption(Control::RunStateLabel);
        m_face.SetCaption(Control::StatusLabel, "正在查询 a.com");
        seen.status = m_face.Caption(Control::StatusLabel);
        seen.count = m_face.Caption(Control::CountLabel);
        m_face.SetEnabled(Control::StartButton, false);
        m_face.SetEnabled(Control::StopButton, true);
        seen.ticked1 = m_face.IsMetricTicked(1);
        seen.ticked2 = m_face.IsMetricTicked(2);
        m_face.SetMetricChecksEnabled(false);
        m_face.HideUntickedColumns();

        m_face.DeleteAllRows();
        seen.rowsAfterClear = m_face.RowCount();
        seen.firstRow = m_face.AppendRow();
        m_face.SetCell(seen.firstRow, 0, "a.com");
        m_face.SetCell(seen.firstRow, 1, "×");
        // The GUI thread is idle between calls: the model already holds the cell.
        seen.cell = results.GetCell(seen.firstRow, 1);
        seen.secondRow = m_face.AppendRow();
        seen.rowsAfterAppend = m_face.RowCount();
        m_face.ScrollToRow(seen.secondRow);

        m_face.SetProgressVisible(true);
        m_face.SetProgressMaximum(5);
        m_face.SetProgressPosition(3);
        seen.progress = m_face.ProgressPosition();
    });

    EXPECT_EQ(seen.runState, "正常运行");
    EXPECT_EQ(seen.status, "正在查询 a.com");
    EXPECT_EQ(FromQString(m_window.StatusLabel()->text()), "正在查询 a.com");
    EXPECT_TRUE(seen.ticked1);
    EXPECT_FALSE(seen.ticked2);
    EXPECT_EQ(seen.rowsAfterClear, 0);
    EXPECT_EQ(seen.firstRow, 0);
    EXPECT_EQ(seen.secondRow, 1);
    EXPECT_EQ(seen.rowsAfterAppend, 2);
    EXPECT_EQ(seen.cell, "×");
    EXPECT_EQ(seen.progress, 3);

    EXPECT_FALSE(m_window.StartButton()->isEnabled());
    EXPECT_TRUE(m_window.StopButton()->isEnabled());
    for (int column = 1; column < kResultColumnCount; ++column) {
        EXPECT_FALSE(m_window.MetricCheck(column)->isEnabled());
    }
    EXPECT_EQ(m_window.ResultTable()->ColumnWidth(1), 60);
    EXPECT_EQ(m_window.ResultTable()->ColumnWidth(2), 0);
    EXPECT_TRUE(m_window.ProgressBar()->isVisible());
    EXPECT_EQ(m_window.ProgressBar()->maximum(), 5);
    // The list catches up with the appended rows shortly after.
    QTRY_COMPARE(m_window.ResultTable()->model()->rowCount(), 2);
}

// Counts the cross-thread calls the window receives.
class MetaCallCounter final : public QObject {
  public:
    std::atomic<int> calls = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MetaCall) ++calls;
        return false;
    }
};

TEST_F(RunWindowBridgeTest, StepsTogetherRunOnTheGuiThreadInOneVisit) {
    MetaCallCounter counter;
    m_window.installEventFilter(&counter);
    bool onGuiThread = false;
    Text status;
    int row = -1;
    OnWorker([&] {
        m_face.Together([&](RunWindow& w) {
            onGuiThread = QThread::currentThread() == m_window.thread();
            w.SetCaption(Control::StatusLabel, "正在查询 b.com");
            status = w.Caption(Control::StatusLabel);
            row = w.AppendRow();
            w.SetCell(row, 0, "b.com");
        });
    });
    m_window.removeEventFilter(&counter);
    EXPECT_TRUE(onGuiThread);
    EXPECT_EQ(counter.calls, 1);
    EXPECT_EQ(status, "正在查询 b.com");
    EXPECT_EQ(m_window.Results().GetCell(row, 0), "b.com");
}

TEST_F(RunWindowBridgeTest, CallsFromTheGuiThreadRunDirectly) {
    m_face.SetCaption(Control::CountLabel, "7");
    EXPECT_EQ(m_face.Caption(Control::CountLabel), "7");
    const int row = m_face.AppendRow();
    m_face.SetCell(row, 0, "a.com");
    EXPECT_EQ(m_window.Results().GetCell(row, 0), "a.com");
    EXPECT_EQ(m_face.RowCount(), 1);
}

// The scheduler's state of a thread of this process: 'R' running, 'S' asleep, '?' gone.
char ThreadState(pid_t thread) {
    std::ifstream stat("/proc/self/task/" + std::to_string(thread) + "/stat");
    std::string line;
    std::getline(stat, line);
    const std::size_t name = line.rfind(')');
    return name == std::string::npos || name + 2 >= line.size() ? '?' : line[name + 2];
}

TEST_F(RunWindowBridgeTest, ShowMessageWaitsForTheBoxWhileTheWindowStaysUsable) {
    std::atomic<bool> returned = false;
    std::atomic<pid_t> workerId = 0;
    std::thread worker([&] {
        workerId = ::gettid();
        m_face.ShowMessage("OK，查询完成");
        returned = true;
    });

    QMessageBox* box = nullptr;
    EXPECT_TRUE(QTest::qWaitFor([&] { return (box = OpenMessageBox()) != nullptr; }, 20'000));
    if (box != nullptr) {
        EXPECT_EQ(FromQString(box->windowTitle()), "信息：");
        EXPECT_EQ(FromQString(box->text()), "OK，查询完成");
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
        EXPECT_EQ(FromQString(box->button(QMessageBox::Ok)->text()), "确定");
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        // Owned by the main window, yet not modal.
        EXPECT_EQ(box->parentWidget(), &m_window);
        EXPECT_EQ(box->windowModality(), Qt::NonModal);

        // A click on the main window goes through while the box is open.
        QCheckBox* check = m_window.MetricCheck(3);
        const QPoint at = check->mapTo(&m_window, QPoint(7, 12));
        QTest::mouseClick(m_window.windowHandle(), Qt::LeftButton, {}, at);
        EXPECT_TRUE(check->isChecked());
        // ... and the box stays open as the main window's transient, which the desktop keeps
        // above the window that was clicked.
        EXPECT_TRUE(box->isVisible());
        const QWindow* handle = box->windowHandle();
        EXPECT_EQ(handle != nullptr ? handle->transientParent() : nullptr, m_window.windowHandle());
        // The box is up, so the worker has been let go from putting it there: it now either
        // returns at once or goes to sleep until the box is closed.
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return returned.load() || ThreadState(workerId.load()) == 'S'; }, 20'000));
        EXPECT_FALSE(returned);

        box->button(QMessageBox::Ok)->click();
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return returned.load(); }, 20'000));
    worker.join();
}

}  // namespace
