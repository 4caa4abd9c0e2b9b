#include "ui/history_controller.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <ctime>
#include <map>
#include <mutex>

#include "addresses/address_file.h"
#include "common/file_io.h"
#include "export/workbook_writing.h"
#include "history/history_recorder.h"
#include "history/history_store.h"
#include "history/value_change.h"
#include "platform/qt_text.h"
#include "query/metric_lookup.h"
#include "results/result_model.h"
#include "support/fakes.h"
#include "support/temp_dir.h"
#include "ui/main_window.h"
#include "ui/query_controller.h"
#include "ui/result_list.h"
#include "ui/run_window_bridge.h"
#include "ui/trend_window.h"

namespace {

bool WaitUntil(const std::function<bool()>& done) {
    const QDeadlineTimer deadline(10'000);
    QTimer tick;
    tick.start(5);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

// Answers from a table the test changes between runs.
class TableLookup final : public MetricLookup {
  public:
    void Set(const std::string& kind, const Text& address, const Text& value) {
        std::lock_guard lock(m_mutex);
        m_answers[{kind, address}] = value;
    }
    Text LookupMetric(const Metric& metric, const Text& address) override {
        std::lock_guard lock(m_mutex);
        const auto found = m_answers.find({std::string(metric.kind), address});
        return found == m_answers.end() ? Text() : found->second;
    }

  private:
    std::mutex m_mutex;
    std::map<std::pair<std::string, Text>, Text> m_answers;
};

std::vector<TrendWindow*> TrendWindows() {
    std::vector<TrendWindow*> windows;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* trend = qobject_cast<TrendWindow*>(widget); trend && trend->isVisible()) {
            windows.push_back(trend);
        }
    }
    return windows;
}

// The main window with history: runs go through the query controller to the store.
struct HistoryFixture : ::testing::Test {
    TempDir dir;
    AddressFile addresses{dir.path()};
    HistoryStore store{dir.File("history.sqlite"), [] {
                           HistoryOptions options;
                           options.busyTimeoutMs = 50;
                           return options;
                       }()};
    // Some days ago: the runs of a test follow each other a day or more apart.
    HistoryTime now = static_cast<HistoryTime>(std::time(nullptr)) - 10 * 86400;
    HistoryRecorder recorder{store, [this] { return now; }};
    MainWindow window;
    FakeMessageBox box;
    HistoryController history{window, store, box};
    RunWindowBridge bridge{window};
    TableLookup lookup;
    QueryController queries{window, bridge, addresses, lookup, [] {}, &recorder};

    void SetUp() override {
        ASSERT_TRUE(WriteWholeFile(addresses.Path(), "a.com\r\nb.com\r\n"));
        window.CountLabel()->setText(QStringLiteral("2"));
        for (const int column : {3, 4, 7}) window.MetricCheck(column)->setChecked(true);
        window.show();
    }
    void TearDown() override {
        for (TrendWindow* trend : TrendWindows()) trend->close();
    }
    // One whole run; the final message is closed, the store has written everything.
    void Run() {
        queries.StartQueryRun();
        QMessageBox* done = nullptr;
        ASSERT_TRUE(WaitUntil([&] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* message = qobject_cast<QMessageBox*>(widget);
                if (message != nullptr && message->isVisible()) done = message;
            }
            return done != nullptr;
        }));
        done->button(QMessageBox::Ok)->click();
        ASSERT_TRUE(WaitUntil([&] { return !queries.IsRunActive(); }));
        store.WaitIdle();
        QCoreApplication::processEvents();
    }
    int Tint(int row, int column) {
        const QVariant tint =
            window.Results().data(window.Results().index(row, column), kCellTintRole);
        return tint.isValid() ? tint.toInt() : -1;
    }
    Text ToolTip(int row, int column) {
        return FromQString(
            window.Results().data(window.Results().index(row, column), Qt::ToolTipRole).toString());
    }
};

// A second run with changed figures tints those cells, with the earlier value in the tooltip;
// the texts, and so the export, stay as the run filled them.
TEST_F(HistoryFixture, ChangedFiguresAreTintedAfterTheSecondRun) {
    lookup.Set("baidu", "a.com", "12000");
    lookup.Set("ip", "a.com", "1.1.1.1");
    lookup.Set("title", "a.com", "Old");
    lookup.Set("baidu", "b.com", "50");
    Run();
    for (int column : {3, 4, 7}) EXPECT_EQ(Tint(0, column), -1);
    const Text firstDay = HistoryDate(now);

    now += 3 * 86400;
    lookup.Set("baidu", "a.com", "9000");
    lookup.Set("title", "a.com", "New");
    lookup.Set("baidu", "b.com", "60");
    Run();
    ASSERT_TRUE(WaitUntil([&] { return Tint(1, 3) >= 0; }));
    EXPECT_EQ(Tint(0, 3), static_cast<int>(CellTint::Down));
    EXPECT_EQ(Tint(0, 4), -1);
    EXPECT_EQ(Tint(0, 7), static_cast<int>(CellTint::Changed));
    EXPECT_EQ(Tint(1, 3), static_cast<int>(CellTint::Up));
    EXPECT_EQ(ToolTip(0, 3), ConcatText({"上次：12000（", firstDay, "）"}));
    EXPECT_EQ(ToolTip(0, 7), ConcatText({"上次：Old（", firstDay, "）"}));

    const ExportRows rows = TakeExportRows(window.Results());
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][3], "9000");
    EXPECT_EQ(rows[0][7], "New");
    EXPECT_EQ(rows[1][3], "60");
    EXPECT_EQ(window.StatusLabel()->text(), ToQString("全部查询完成"));
}

// A store another program holds locked: the run completes, the status line says so once,
// and the values stored before are still there afterwards.
TEST_F(HistoryFixture, LockedStoreIsToldOnTheStatusLineAfterTheRun) {
    lookup.Set("baidu", "a.com", "1");
    Run();
    SqliteDb other;
    ASSERT_EQ(other.Open(store.Path()), SQLITE_OK);
    ASSERT_EQ(other.Exec("BEGIN EXCLUSIVE"), SQLITE_OK);
    lookup.Set("baidu", "a.com", "2");
    Run();
    const Text expected = "全部查询完成；历史记录未保存（文件被占用）";
    ASSERT_TRUE(WaitUntil([&] { return FromQString(window.StatusLabel()->text()) == expected; }));
    other.Exec("ROLLBACK");
    QTest::qWait(50);  // a second notice would have come by now
    EXPECT_EQ(FromQString(window.StatusLabel()->text()), expected);
    const auto entries = store.HostHistory("a.com");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].value, "1");
}

// A double click on a row or Enter on the selected row opens that host's trend window; a
// double click below the rows opens nothing.
TEST_F(HistoryFixture, DoubleClickOrEnterOnARowOpensItsTrends) {
    lookup.Set("baidu", "a.com", "1");
    Run();
    ResultList* table = window.ResultTable();
    QTest::qWait(60);  // the list shows appended rows in batches
    const QRect second = table->visualRect(table->model()->index(1, 0));
    ASSERT_TRUE(second.isValid());

    const QPoint below(second.center().x(), second.bottom() + 40);
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, below);
    EXPECT_TRUE(TrendWindows().empty());

    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, second.center());
    ASSERT_EQ(TrendWindows().size(), 1u);
    EXPECT_EQ(TrendWindows()[0]->Host(), "b.com");
    EXPECT_TRUE(TrendWindows()[0]->ShowsNoHistory());  // b.com had no figure yet
    TrendWindows()[0]->close();

    table->setFocus();
    table->selectRow(0);
    QTest::keyClick(table, Qt::Key_Return);
    ASSERT_EQ(TrendWindows().size(), 1u);
    EXPECT_EQ(TrendWindows()[0]->Host(), "a.com");
    EXPECT_FALSE(TrendWindows()[0]->ShowsNoHistory());
}

// An open trend window follows the values a run stores, and deleting the host's history
// (after the question) leaves it saying there is none.
TEST_F(HistoryFixture, TrendWindowFollowsNewValuesAndDeletesTheHostsHistory) {
    TrendWindow* trend = history.OpenTrendWindow("a.com");
    ASSERT_NE(trend, nullptr);
    EXPECT_TRUE(trend->ShowsNoHistory());
    EXPECT_EQ(history.OpenTrendWindow("a.com"), trend);  // one window per host

    lookup.Set("baidu", "a.com", "100");
    lookup.Set("title", "a.com", "T1");
    Run();
    ASSERT_TRUE(WaitUntil([&] { return !trend->ShowsNoHistory(); }));
    now += 86400;
    lookup.Set("title", "a.com", "T2");
    Run();
    ASSERT_TRUE(WaitUntil([&] { return trend->TextChangeCount() == 2; }));
    EXPECT_EQ(trend->ChartCount(), 1);

    box.answers = {MessageBoxRoutine::kResultCancel, MessageBoxRoutine::kResultOk};
    auto* remove = trend->findChild<QPushButton*>(QStringLiteral("DeleteHistoryButton"));
    remove->click();
    store.WaitIdle();
    EXPECT_EQ(store.HostHistory("a.com").size(), 3u);
    remove->click();
    ASSERT_TRUE(WaitUntil([&] { return trend->ShowsNoHistory(); }));
    EXPECT_TRUE(store.HostHistory("a.com").empty());
    ASSERT_EQ(box.shown.size(), 2u);
    EXPECT_EQ(box.shown[0].style, MessageBoxRoutine::kOkCancelInformation);
}

}  // namespace
