#include "ui/run_progress_display.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QTest>

#include "platform/qt_text.h"
#include "results/result_model.h"
#include "ui/main_window.h"

namespace {

using namespace std::chrono_literals;

TEST(DurationText, WholeSecondsAsTheStatusTextsShowThem) {
    const std::pair<std::chrono::seconds, Text> cases[] = {
        {0s, "0秒"},         {45s, "45秒"},        {60s, "1分00秒"},     {65s, "1分05秒"},
        {3599s, "59分59秒"}, {3600s, "1小时00分"}, {3725s, "1小时02分"}, {360000s, "100小时00分"},
        {-5s, "0秒"},
    };
    for (const auto& [duration, text] : cases) EXPECT_EQ(DurationText(duration), text);
}

// A run as the window sees it, with a scripted clock: the bar shown, hosts appended and their
// cells written, the position advanced, the bar hidden.
class RunProgressDisplayTest : public ::testing::Test {
  protected:
    RunProgressDisplayTest()
        : m_display(
              m_window, [this] { return m_now; }, 50) {
        m_window.show();
    }

    void StartRun(int count) {
        m_window.Results().DeleteAllRows();
        m_window.RunStateLabel()->setText(ToQString("正常运行"));
        Bar()->show();
        Bar()->setMaximum(count);
    }
    // One host taking `took`, with the given metric cells.
    void Host(std::chrono::seconds took, std::initializer_list<Text> cells = {"1"}) {
        ResultModel& model = m_window.Results();
        const int row = model.AppendRow();
        model.SetCell(row, 0, "site" + IntToText(row));
        int column = 1;
        for (const Text& cell : cells) model.SetCell(row, column++, cell);
        m_now += took;
        Bar()->setValue(Bar()->value() + 1);
    }
    void EndRun(const char* runState) {
        m_window.RunStateLabel()->setText(ToQString(runState));
        Bar()->hide();
        Bar()->setValue(0);
    }
    QProgressBar* Bar() { return m_window.ProgressBar(); }
    Text BarText() { return Bar()->isTextVisible() ? FromQString(Bar()->text()) : "(no text)"; }
    Text Footer() { return FromQString(m_window.FooterLabel()->text()); }

    MainWindow m_window;
    std::chrono::steady_clock::time_point m_now{};
    RunProgressDisplay m_display;
};

TEST_F(RunProgressDisplayTest, BarShowsCountThenTimeLeftAtTheRecentPace) {
    EXPECT_EQ(BarText(), "(no text)");
    StartRun(20);
    EXPECT_EQ(BarText(), "0/20");
    Host(10s);
    EXPECT_EQ(BarText(), "1/20");
    Host(10s);
    EXPECT_EQ(BarText(), "2/20");
    Host(10s);
    EXPECT_EQ(BarText(), "3/20  剩余约 2分50秒");
    Host(10s);
    Host(10s);
    // The engines speed up: ten hosts later only the new pace counts.
    for (int i = 0; i < 10; ++i) Host(2s);
    EXPECT_EQ(BarText(), "15/20  剩余约 10秒");
    // The window hidden and shown again (minimised) is not the end of the run.
    m_window.hide();
    m_window.show();
    Host(2s);
    EXPECT_EQ(BarText(), "16/20  剩余约 8秒");
    EndRun("正常运行");
    EXPECT_EQ(BarText(), "(no text)");
}

// After a run the footer tells how many hosts it did, how many cells failed and how long it took,
// for a while; then the copyright line is back. The next run starts from nothing.
TEST_F(RunProgressDisplayTest, FooterSummarisesTheRunForAWhile) {
    const Text copyright = Footer();
    StartRun(3);
    Host(20s, {"2", "×", ""});
    Host(40s, {"×", "1.2.3.4", "x"});
    Host(5s, {"3"});
    EndRun("正常运行");
    EXPECT_EQ(Footer(), "上次查询：3 个网址，3 项查询失败，用时 1分05秒");
    EXPECT_TRUE(m_display.ShowingSummary());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !m_display.ShowingSummary(); }, 10'000));
    EXPECT_EQ(Footer(), copyright);

    StartRun(5);
    EXPECT_EQ(Footer(), copyright);
    Host(7s, {"×"});
    m_window.Results().SetCell(m_window.Results().AppendRow(), 0, "stopped.com");
    EndRun("停止");
    EXPECT_EQ(Footer(), "上次查询（已停止）：2 个网址，1 项查询失败，用时 7秒");

    // Cells written outside a run (none are, but a filter's restore resets rows) count nothing.
    m_window.Results().SetCell(0, 1, "×");
    EXPECT_EQ(Footer(), "上次查询（已停止）：2 个网址，1 项查询失败，用时 7秒");
}

}  // namespace
