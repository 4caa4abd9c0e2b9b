#include "app/history_retention.h"

#include <gtest/gtest.h>

#include "history/history_store.h"
#include "platform/user_settings.h"
#include "support/temp_dir.h"

namespace {

TEST(HistoryRetention, KeepsForEverUnlessAPositiveNumberOfDaysIsSet) {
    TempDir dir;
    UserSettings settings(QString::fromStdString(dir.File("zarkel.conf")));
    EXPECT_EQ(HistoryKeepDays(settings), 0);
    const std::vector<std::pair<QVariant, int>> cases = {
        {QStringLiteral("90"), 90}, {0, 0}, {-5, 0}, {QStringLiteral("abc"), 0}, {365, 365}};
    for (const auto& [value, days] : cases) {
        settings.SetValue(QStringLiteral("history/keep_days"), value);
        EXPECT_EQ(HistoryKeepDays(settings), days) << value.toString().toStdString();
    }
}

TEST(HistoryRetention, DropsWhatWasNotSeenWithinTheKeptDays) {
    TempDir dir;
    HistoryStore store(dir.File("h.sqlite"));
    constexpr HistoryTime kNow = 1'765'000'000;
    const std::int64_t run = store.BeginRun(kNow - 100 * 86400, "baidu");
    store.Record(run, {{"old.com", "baidu", "1", kNow - 100 * 86400},
                       {"new.com", "baidu", "2", kNow - 10 * 86400}});
    store.EndRun(run, kNow, RunOutcome::Completed, 2);

    ApplyHistoryRetention(store, 0, kNow);
    store.WaitIdle();
    EXPECT_EQ(store.HostHistory("old.com").size(), 1u);

    ApplyHistoryRetention(store, 30, kNow);
    store.WaitIdle();
    EXPECT_TRUE(store.HostHistory("old.com").empty());
    EXPECT_EQ(store.HostHistory("new.com").size(), 1u);
}

}  // namespace
