#include "ui/trend_window.h"

#include <gtest/gtest.h>

#include <QComboBox>

#include "history/history_store.h"
#include "history/trend_data.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

namespace {

constexpr HistoryTime kDay = 86400;
constexpr HistoryTime kNow = 1'765'000'000;

// A numeric figure draws a level line per held value; text figures list their changes,
// newest first; the range leaves out what was last seen before it.
TEST(TrendData, BuildsLinesAndTextChangesWithinTheRange) {
    const std::vector<HistoryEntry> entries = {
        {"baidu", "100", kNow - 400 * kDay, kNow - 390 * kDay},
        {"baidu", "120", kNow - 40 * kDay, kNow - 10 * kDay},
        {"baidu", "×", kNow - 5 * kDay, kNow - 5 * kDay},
        {"baidu", "90", kNow, kNow},
        {"ip", "0.0.0.0", kNow - 500 * kDay, kNow - 450 * kDay},
        {"ip", "1.1.1.1", kNow - 400 * kDay, kNow - 20 * kDay},
        {"ip", "2.2.2.2", kNow - 2 * kDay, kNow},
        {"pr", "未配置", kNow, kNow},
    };
    struct Case {
        HistoryTime from;
        std::vector<std::pair<HistoryTime, double>> baidu;
        std::vector<Text> ips;
    };
    const std::vector<Case> cases = {
        {0,
         {{kNow - 400 * kDay, 100},
          {kNow - 390 * kDay, 100},
          {kNow - 40 * kDay, 120},
          {kNow - 10 * kDay, 120},
          {kNow, 90}},
         {"2.2.2.2", "1.1.1.1", "0.0.0.0"}},
        // 1.1.1.1 was still held within the range, so it is listed.
        {kNow - 30 * kDay,
         {{kNow - 30 * kDay, 120}, {kNow - 10 * kDay, 120}, {kNow, 90}},
         {"2.2.2.2", "1.1.1.1"}},
    };
    for (const Case& c : cases) {
        const TrendData trend = BuildTrend(entries, c.from);
        ASSERT_EQ(trend.series.size(), 1u);  // pr has no number
        EXPECT_EQ(trend.series[0].kind, "baidu");
        std::vector<std::pair<HistoryTime, double>> points;
        for (const TrendPoint& p : trend.series[0].points) points.emplace_back(p.time, p.value);
        EXPECT_EQ(points, c.baidu);
        std::vector<Text> ips;
        for (const TextChange& change : trend.textChanges) ips.push_back(change.value);
        EXPECT_EQ(ips, c.ips);
    }
}

TEST(TrendWindow, ShowsAHostsHistoryOrSaysThereIsNone) {
    TempDir dir;
    HistoryStore store(dir.File("h.sqlite"));
    const std::int64_t run = store.BeginRun(kNow - 100 * kDay, "baidu ip");
    store.Record(run, {{"a.com", "baidu", "5", kNow - 100 * kDay},
                       {"a.com", "baidu", "7", kNow - 3 * kDay},
                       {"a.com", "sogousl", "8", kNow - 3 * kDay},
                       {"a.com", "title", "T", kNow - 100 * kDay}});
    store.EndRun(run, kNow, RunOutcome::Completed, 1);
    store.WaitIdle();
    FakeMessageBox box;

    TrendWindow none(store, box, "b.com", [] { return kNow; });
    EXPECT_TRUE(none.ShowsNoHistory());
    EXPECT_EQ(none.ChartCount(), 0);

    TrendWindow some(store, box, "a.com", [] { return kNow; });
    EXPECT_FALSE(some.ShowsNoHistory());
    EXPECT_EQ(some.ChartCount(), 2);  // baidu and sogousl within 30 days
    EXPECT_EQ(some.TextChangeCount(), 0);
    some.SetRange(TrendWindow::Range::Year);
    EXPECT_EQ(some.ChartCount(), 2);
    EXPECT_EQ(some.TextChangeCount(), 1);
}

}  // namespace
