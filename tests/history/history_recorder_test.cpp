#include "history/history_recorder.h"

#include <gtest/gtest.h>

#include <map>
#include <mutex>

#include "addresses/address_file.h"
#include "common/file_io.h"
#include "history/history_store.h"
#include "query/query_run.h"
#include "query/run_fakes.h"
#include "support/temp_dir.h"

namespace {

using Control = RunWindow::Control;

// Answers each figure from a table the test changes between runs; unknown ones are empty.
class TableLookup final : public MetricLookup {
  public:
    std::map<std::pair<std::string, Text>, Text> answers;
    Text LookupMetric(const Metric& metric, const Text& address) override {
        const auto found = answers.find({std::string(metric.kind), address});
        return found == answers.end() ? Text() : found->second;
    }
};

class ChangeLog final : public HistoryListener {
  public:
    void HistoryChanged(std::int64_t, const std::vector<CellChange>& changes) override {
        std::lock_guard lock(m_mutex);
        for (const CellChange& c : changes)
            m_lines.push_back(c.host + " " + c.kind + " " + c.previous + ">" + c.value);
    }
    std::vector<std::string> Lines() {
        std::lock_guard lock(m_mutex);
        return m_lines;
    }

  private:
    std::mutex m_mutex;
    std::vector<std::string> m_lines;
};

// Two whole runs through QueryRun: the first stores what the cells show (empty cells are no
// history), the second stores and reports only what changed; both runs are recorded.
TEST(HistoryRecorder, RunsThroughTheQueryRunFillTheStore) {
    TempDir dir;
    AddressFile file(dir.path());
    ASSERT_TRUE(WriteWholeFile(file.Path(), "a.com\r\nb.com\r\n"));
    HistoryStore store(dir.File("h.sqlite"));
    ChangeLog log;
    store.SetListener(&log);
    HistoryTime now = 1000;
    HistoryRecorder recorder(store, [&now] { return now; });
    FakeRunWindow window;
    window.Put(Control::CountLabel, "2");
    window.Tick({3, 4, 7});
    TableLookup lookup;
    lookup.answers = {{{"baidu", "a.com"}, "100"},
                      {{"ip", "a.com"}, "1.1.1.1"},
                      {{"title", "a.com"}, "A"},
                      {{"baidu", "b.com"}, "×"}};
    const auto run = [&] {
        QueryRun(
            window, file, lookup, [] {}, &recorder)
            .Run();
    };

    run();
    store.WaitIdle();
    EXPECT_EQ(store.HostHistory("a.com").size(), 3u);
    ASSERT_EQ(store.HostHistory("b.com").size(), 1u);  // the fail mark is shown, so kept
    EXPECT_TRUE(log.Lines().empty());

    now = 2000;
    lookup.answers[{"baidu", "a.com"}] = "90";
    lookup.answers[{"title", "a.com"}] = "B";
    run();
    store.WaitIdle();
    EXPECT_EQ(log.Lines(), (std::vector<std::string>{"a.com baidu 100>90", "a.com title A>B"}));
    EXPECT_EQ(store.HostHistory("a.com").size(), 5u);

    const auto runs = store.Runs();
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[1].started, 2000);
    EXPECT_EQ(runs[1].outcome, RunOutcome::Completed);
    EXPECT_EQ(runs[1].hosts, 2);
    EXPECT_EQ(runs[1].figures, "baidu ip title");
    store.SetListener(nullptr);
}

TEST(HistoryRecorder, AStoppedRunIsRecordedAsStopped) {
    TempDir dir;
    AddressFile file(dir.path());
    ASSERT_TRUE(WriteWholeFile(file.Path(), "a.com\r\nb.com\r\nc.com\r\n"));
    HistoryStore store(dir.File("h.sqlite"));
    HistoryRecorder recorder(store);
    FakeRunWindow window;
    window.Put(Control::CountLabel, "3");
    window.Tick({4});
    TableLookup lookup;
    lookup.answers = {{{"ip", "a.com"}, "1.1.1.1"}, {{"ip", "b.com"}, "2.2.2.2"}};
    int pauses = 0;
    QueryRun(
        window, file, lookup,
        [&] {
            if (++pauses == 1) RequestStop(window);
        },
        &recorder)
        .Run();
    store.WaitIdle();
    const auto runs = store.Runs();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].outcome, RunOutcome::Stopped);
    EXPECT_EQ(runs[0].hosts, 2);  // the second address got its row, then the run stopped
    EXPECT_EQ(store.HostHistory("a.com").size(), 1u);
    EXPECT_TRUE(store.HostHistory("b.com").empty());
}

}  // namespace
