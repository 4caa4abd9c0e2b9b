#include "history/history_store.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <atomic>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "history/history_database.h"
#include "history/value_change.h"
#include "query/metric_catalogue.h"
#include "support/read_only_dir.h"
#include "support/temp_dir.h"

namespace {

const Text kFail(kFailMark);

// Remembers what the store reported, from whatever thread.
class RecordingListener final : public HistoryListener {
  public:
    void HistoryChanged(std::int64_t, const std::vector<CellChange>& changes) override {
        std::lock_guard lock(m_mutex);
        m_changes.insert(m_changes.end(), changes.begin(), changes.end());
    }
    void HistoryRunFinished(std::int64_t run, HistoryFailure failure) override {
        std::lock_guard lock(m_mutex);
        m_finished.emplace_back(run, failure);
    }
    std::vector<CellChange> Changes() {
        std::lock_guard lock(m_mutex);
        return m_changes;
    }
    std::vector<std::pair<std::int64_t, HistoryFailure>> Finished() {
        std::lock_guard lock(m_mutex);
        return m_finished;
    }

  private:
    std::mutex m_mutex;
    std::vector<CellChange> m_changes;
    std::vector<std::pair<std::int64_t, HistoryFailure>> m_finished;
};

std::vector<HistoryCell> Cells(const Text& host, const std::string& kind,
                               std::initializer_list<std::pair<Text, HistoryTime>> values) {
    std::vector<HistoryCell> cells;
    for (const auto& [value, time] : values) cells.push_back({host, kind, value, time});
    return cells;
}

// One run at `time` that stores `cells` (all stamped `time` unless they carry their own).
std::int64_t OneRun(HistoryStore& store, HistoryTime time, std::vector<HistoryCell> cells) {
    const std::int64_t run = store.BeginRun(time, "baidu ip");
    for (HistoryCell& cell : cells) {
        if (cell.time == 0) cell.time = time;
    }
    store.Record(run, std::move(cells));
    store.EndRun(run, time + 1, RunOutcome::Completed, 1);
    store.WaitIdle();
    return run;
}

TEST(HistoryDatabase, StoresChangesNotRepeats) {
    struct Case {
        std::vector<Text> values;  // one per run, a day apart
        std::vector<Text> stored;
        HistoryTime lastSeenOfLatest;  // in days after day 0
    };
    const std::vector<Case> cases = {
        {{"5"}, {"5"}, 0},
        {{"5", "5", "5"}, {"5"}, 2},
        {{"5", "6", "5"}, {"5", "6", "5"}, 2},
        {{"5", "5", "6", "6"}, {"5", "6"}, 3},
        {{"5", kFail, "5"}, {"5", kFail, "5"}, 2},
        {{"a b", "a  b", "a b"}, {"a b", "a  b", "a b"}, 2},
        {{std::string("x\0y", 3), std::string("x\0y", 3)}, {std::string("x\0y", 3)}, 1},
    };
    constexpr HistoryTime kDay = 86400;
    for (const Case& c : cases) {
        TempDir dir;
        HistoryDatabase db;
        ASSERT_EQ(db.Open(dir.File("h.sqlite")), SQLITE_OK);
        HistoryTime time = 1'700'000'000;
        for (const Text& value : c.values) {
            ASSERT_EQ(db.Record(Cells("a.com", "baidu", {{value, time}}), time), SQLITE_OK);
            time += kDay;
        }
        const auto entries = db.HostHistory("a.com");
        std::vector<Text> stored;
        for (const HistoryEntry& entry : entries) stored.push_back(entry.value);
        EXPECT_EQ(stored, c.stored) << c.values.size() << " values";
        ASSERT_FALSE(entries.empty());
        EXPECT_EQ(entries.back().lastSeen, 1'700'000'000 + c.lastSeenOfLatest * kDay);
        // No statement is left holding a snapshot that would keep the log from shrinking.
        EXPECT_EQ(db.Exec("PRAGMA wal_checkpoint(TRUNCATE)"), SQLITE_OK);
    }
}

TEST(HistoryDatabase, ReportsChangesAgainstTheValueBeforeTheRun) {
    TempDir dir;
    HistoryDatabase db;
    ASSERT_EQ(db.Open(dir.File("h.sqlite")), SQLITE_OK);
    ASSERT_EQ(db.Record({{"a.com", "baidu", "12,000", 100},
                         {"a.com", "ip", "1.2.3.4", 100},
                         {"a.com", "pr", "3", 100},
                         {"a.com", "title", "Old", 100},
                         {"b.com", "baidu", kFail, 100}},
                        100),
              SQLITE_OK);
    ASSERT_EQ(db.Record({{"a.com", "pr", kFail, 150}}, 150), SQLITE_OK);

    std::vector<CellChange> changes;
    // The same host twice in one run: both rows compare with the value before the run.
    ASSERT_EQ(db.Record({{"a.com", "baidu", "9000", 200},
                         {"a.com", "ip", "1.2.3.4", 200},
                         {"a.com", "pr", "4", 200},
                         {"a.com", "title", "New", 200},
                         {"a.com", "title", "Newer", 201},
                         {"b.com", "baidu", "7", 200},
                         {"a.com", "ip", kFail, 200}},
                        200, &changes),
              SQLITE_OK);
    struct Expected {
        std::string kind;
        Text value;
        Text previous;
        ChangeDirection direction;
    };
    const std::vector<Expected> expected = {
        {"baidu", "9000", "12,000", ChangeDirection::Down},
        {"pr", "4", "3", ChangeDirection::Up},  // the fail mark between says nothing
        {"title", "New", "Old", ChangeDirection::Changed},
        {"title", "Newer", "Old", ChangeDirection::Changed},
    };
    ASSERT_EQ(changes.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(changes[i].kind, expected[i].kind);
        EXPECT_EQ(changes[i].value, expected[i].value);
        EXPECT_EQ(changes[i].previous, expected[i].previous);
        EXPECT_EQ(changes[i].direction, expected[i].direction);
        EXPECT_EQ(changes[i].previousSeen, 100);
    }
}

TEST(ValueChange, NumbersGoUpOrDownEverythingElseChanges) {
    struct Case {
        Text previous, current;
        ChangeDirection direction;
    };
    const std::vector<Case> cases = {
        {"12,000", "9000", ChangeDirection::Down},
        {"3", "4", ChangeDirection::Up},
        {"0.5", "1.25", ChangeDirection::Up},
        {"-1", "-2", ChangeDirection::Down},
        {"5", "5", ChangeDirection::Same},
        {"1,000", "1000", ChangeDirection::Changed},
        {"1.2.3.4", "1.2.3.5", ChangeDirection::Changed},
        {"2001-05-03", "2001-05-04", ChangeDirection::Changed},
        {"3", "3x", ChangeDirection::Changed},
        {"1.", "2", ChangeDirection::Changed},
        {"5", kFail, ChangeDirection::Changed},
        {"1", std::string(40, '9'), ChangeDirection::Changed},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CompareFigures(c.previous, c.current), c.direction)
            << c.previous << " -> " << c.current;
    }
}

TEST(HistoryStore, RecordsRunsWithTheirOutcome) {
    TempDir dir;
    HistoryStore store(dir.File("h.sqlite"));
    const std::int64_t first = store.BeginRun(1000, "baidupr ip");
    store.Record(first, Cells("a.com", "ip", {{"1.1.1.1", 1001}}));
    store.EndRun(first, 1010, RunOutcome::Completed, 3);
    const std::int64_t second = store.BeginRun(2000, "title");
    store.EndRun(second, 2005, RunOutcome::Stopped, 1);
    store.WaitIdle();

    const auto runs = store.Runs();
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].started, 1000);
    EXPECT_EQ(runs[0].ended, 1010);
    EXPECT_EQ(runs[0].outcome, RunOutcome::Completed);
    EXPECT_EQ(runs[0].hosts, 3);
    EXPECT_EQ(runs[0].figures, "baidupr ip");
    EXPECT_EQ(runs[1].outcome, RunOutcome::Stopped);
    EXPECT_EQ(runs[1].figures, "title");
    ASSERT_EQ(store.HostHistory("a.com").size(), 1u);
}

// The writer stores batch after batch while the GUI thread reads the same host: every read
// sees whole batches, never an error or a half-written one.
TEST(HistoryStore, ReadsWhileTheWriterWrites) {
    TempDir dir;
    HistoryStore store(dir.File("h.sqlite"));
    constexpr int kBatches = 200;
    std::thread worker([&store] {
        const std::int64_t run = store.BeginRun(1, "baidu ip");
        for (int i = 0; i < kBatches; ++i) {
            // Two changes per batch: a reader sees an even count or a torn batch.
            store.Record(run, {{"a.com", "baidu", std::to_string(i), 10 + i},
                               {"a.com", "ip", "10.0.0." + std::to_string(i), 10 + i}});
        }
        store.EndRun(run, 1000, RunOutcome::Completed, 1);
    });
    std::size_t seen = 0;
    while (seen < 2 * kBatches) {
        const std::size_t now = store.HostHistory("a.com").size();
        ASSERT_EQ(now % 2, 0u);
        ASSERT_GE(now, seen);
        seen = now;
    }
    worker.join();
    store.WaitIdle();
    EXPECT_EQ(store.HostHistory("a.com").size(), 2u * kBatches);
}

// A store that cannot be written: the run's writes go on failing quietly, the run is told
// once, and what was stored before is intact.
TEST(HistoryStore, UnwritableStoreTellsOncePerRunAndKeepsOldData) {
    enum class Block { Locked, DiskFull, ReadOnlyFolder };
    for (const Block block : {Block::Locked, Block::DiskFull, Block::ReadOnlyFolder}) {
        TempDir dir;
        const std::string path = dir.File("h.sqlite");
        {
            HistoryStore store(path);
            OneRun(store, 100, Cells("a.com", "baidu", {{"5", 0}}));
        }
        HistoryOptions options;
        options.busyTimeoutMs = 50;
        SqliteDb other;
        std::unique_ptr<ReadOnlyDir> readOnly;
        if (block == Block::Locked) {
            ASSERT_EQ(other.Open(path), SQLITE_OK);
            ASSERT_EQ(other.Exec("BEGIN EXCLUSIVE"), SQLITE_OK);
        } else if (block == Block::DiskFull) {
            // Room for the file as it is, not for a page more.
            SqliteDb probe;
            ASSERT_EQ(probe.Open(path), SQLITE_OK);
            SqliteStatement count(probe, "PRAGMA page_count");
            ASSERT_EQ(count.Step(), SQLITE_ROW);
            options.maxPages = count.Int(0);
        }
        RecordingListener listener;
        {
            if (block == Block::ReadOnlyFolder) {
                std::filesystem::remove(path + "-wal");
                std::filesystem::remove(path + "-shm");
                std::filesystem::remove(path);
                readOnly = std::make_unique<ReadOnlyDir>(dir.path());
            }
            HistoryStore store(path, options);
            store.SetListener(&listener);
            std::vector<HistoryCell> many;
            for (int i = 0; i < 300; ++i) {
                many.push_back(
                    {"host" + std::to_string(i) + ".com", "title", std::string(500, 'x'), 200});
            }
            const std::int64_t run = store.BeginRun(200, "baidu");
            store.Record(run, Cells("a.com", "baidu", {{"6", 200}}));
            store.Record(run, many);
            store.EndRun(run, 201, RunOutcome::Completed, 301);
            store.WaitIdle();
            ASSERT_EQ(listener.Finished().size(), 1u) << static_cast<int>(block);
            const HistoryFailure expected = block == Block::Locked     ? HistoryFailure::Locked
                                            : block == Block::DiskFull ? HistoryFailure::DiskFull
                                                                       : HistoryFailure::ReadOnly;
            EXPECT_EQ(listener.Finished()[0].second, expected) << static_cast<int>(block);
            store.SetListener(nullptr);
        }
        readOnly.reset();
        if (block == Block::Locked) other.Exec("ROLLBACK");
        if (block == Block::ReadOnlyFolder) continue;
        HistoryStore again(path);
        // A small batch may still fit on a full disk; the large one went whole or not at all.
        const auto entries = again.HostHistory("a.com");
        ASSERT_FALSE(entries.empty()) << static_cast<int>(block);
        EXPECT_EQ(entries[0].value, "5");
        EXPECT_EQ(entries[0].firstSeen, 100);
        EXPECT_TRUE(again.HostHistory("host1.com").empty());
    }
}

TEST(HistoryStore, DeletesOneHostAndPurgesWhatWasNotSeenSince) {
    TempDir dir;
    HistoryStore store(dir.File("h.sqlite"));
    OneRun(store, 100,
           {{"a.com", "baidu", "1", 0}, {"b.com", "baidu", "1", 0}, {"c.com", "baidu", "1", 0}});
    OneRun(store, 500, {{"a.com", "baidu", "2", 0}, {"b.com", "baidu", "1", 0}});

    store.DeleteHost("b.com");
    store.WaitIdle();
    EXPECT_TRUE(store.HostHistory("b.com").empty());
    EXPECT_EQ(store.HostHistory("a.com").size(), 2u);

    // a.com's old value and c.com (last seen at 100) go; a.com's current value stays.
    store.Purge(300);
    store.WaitIdle();
    const auto a = store.HostHistory("a.com");
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(a[0].value, "2");
    EXPECT_TRUE(store.HostHistory("c.com").empty());
    EXPECT_EQ(store.Runs().size(), 1u);

    // A deleted host's next values start a new history.
    OneRun(store, 600, {{"b.com", "baidu", "9", 0}});
    ASSERT_EQ(store.HostHistory("b.com").size(), 1u);
}

}  // namespace
