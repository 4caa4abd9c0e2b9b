#include "query/query_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

#include "addresses/address_file.h"
#include "common/file_io.h"
#include "query/run_fakes.h"
#include "support/temp_dir.h"

namespace {

using Control = RunWindow::Control;
using Request = FakeLookup::Request;
using Row = FakeRunWindow::Row;

Row MakeRow(const Text& address, std::initializer_list<std::pair<int, Text>> cells) {
    Row row;
    row[0] = address;
    for (const auto& [column, text] : cells) row[static_cast<std::size_t>(column)] = text;
    return row;
}

// Three hosts with columns 1, 4, 9 (first group) and 11 (second group) ticked.
struct RunFixture : ::testing::Test {
    TempDir dir;
    AddressFile file{dir.path()};
    FakeRunWindow window;
    FakeLookup lookup;
    int pauses = 0;

    void SetUp() override {
        window.Put(Control::CountLabel, "3");
        window.Tick({1, 4, 9, 11});
    }
    void WriteAddresses(const std::string& bytes) {
        ASSERT_TRUE(WriteWholeFile(file.Path(), bytes));
    }
    void Run() {
        QueryRun(window, file, lookup, [this] {
            ++pauses;
            window.Note("pause");
        }).Run();
    }
    Row FullRow(const Text& a) {
        return MakeRow(
            a, {{1, "baidupr:" + a}, {4, "ip:" + a}, {9, "sl1:" + a}, {11, "sogoupr:" + a}});
    }
    Row GroupOneRow(const Text& a) {
        return MakeRow(a, {{1, "baidupr:" + a}, {4, "ip:" + a}, {9, "sl1:" + a}});
    }
    std::vector<Text> StatusCaptions() {
        std::vector<Text> captions;
        const std::string prefix = "SetCaption StatusLabel ";
        for (const auto& entry : window.Log())
            if (entry.starts_with(prefix)) captions.push_back(entry.substr(prefix.size()));
        return captions;
    }
    void ExpectIdleControls() {
        for (const Control c :
             {Control::StartButton, Control::WeightFilterButton, Control::ExportButton,
              Control::PrFilterButton, Control::ClearListButton, Control::EditAddressesButton})
            EXPECT_TRUE(window.Enabled(c));
        EXPECT_FALSE(window.Enabled(Control::StopButton));
        EXPECT_TRUE(window.ChecksEnabled());
        EXPECT_FALSE(window.ProgressVisible());
        EXPECT_EQ(window.Position(), 0);
    }
};

// The steps of one address in order, and which of them reach the window together: never a
// lookup or the pause while the window's thread is held.
TEST_F(RunFixture, OneAddressFollowsTheStepsInOrder) {
    WriteAddresses("a.com\r\n");
    FakeRunWindow w;
    w.Put(Control::CountLabel, "1");
    w.Tick({2, 11});
    lookup.onRequest = [&](const Request& r) { w.Note("lookup " + r.kind); };
    QueryRun(w, file, lookup, [&] { w.Note("pause"); }).Run();

    std::vector<std::string> ticks;
    for (int c = 1; c <= 12; ++c) ticks.push_back("IsMetricTicked " + std::to_string(c));
    std::vector<std::string> expected = {
        "[",
        "HideUntickedColumns",
        "SetMetricChecksEnabled 0",
        "DeleteAllRows",
        "SetCaption RunStateLabel 正常运行",
        "SetCaption StopButton 停止查询",
        "SetEnabled StartButton 0",
        "SetEnabled WeightFilterButton 0",
        "SetEnabled ExportButton 0",
        "SetEnabled PrFilterButton 0",
        "SetEnabled ClearListButton 0",
        "SetEnabled EditAddressesButton 0",
        "SetEnabled StopButton 1",
        "SetProgressVisible 1",
        "Caption CountLabel",
        "SetProgressMaximum 1",
        "]",
        "[",
        "Caption CountLabel",
        "SetCaption StatusLabel 正在查询：（1/1）a.com",
        "AppendRow",
        "SetCell 0 0 a.com",
        "Caption RunStateLabel",
    };
    const auto add = [&](std::initializer_list<std::string> entries) {
        expected.insert(expected.end(), entries);
    };
    expected.insert(expected.end(), ticks.begin(), ticks.end());
    add({"]", "lookup pr", "[", "SetCell 0 2 pr:a.com", "Caption RunStateLabel"});
    expected.insert(expected.end(), ticks.begin(), ticks.end());
    add({"]",
         "lookup sogoupr",
         "[",
         "SetCell 0 11 sogoupr:a.com",
         "Caption RunStateLabel",
         "ProgressPosition",
         "SetProgressPosition 1",
         "]",
         "pause",
         "[",
         "RowCount",
         "ScrollToRow 0",
         "SetProgressVisible 0",
         "Caption RunStateLabel",
         "SetCaption StatusLabel 全部查询完成",
         "SetEnabled StopButton 0",
         "]",
         "ShowMessage OK，查询完成",
         "[",
         "SetEnabled StartButton 1",
         "SetEnabled WeightFilterButton 1",
         "SetEnabled ExportButton 1",
         "SetEnabled PrFilterButton 1",
         "SetEnabled ClearListButton 1",
         "SetEnabled EditAddressesButton 1",
         "SetEnabled StopButton 0",
         "SetMetricChecksEnabled 1",
         "SetProgressPosition 0",
         "]"});
    EXPECT_EQ(w.Log(), expected);
}

TEST_F(RunFixture, ThreeAddressesFillEveryTickedCellHostByHost) {
    WriteAddresses("a.com\r\nb.com\r\nc.com");
    // Controls as seen while the first lookup is in flight.
    bool sawRunningState = false;
    lookup.onRequest = [&](const Request&) {
        if (sawRunningState) return;
        sawRunningState = true;
        EXPECT_FALSE(window.Enabled(Control::StartButton));
        EXPECT_FALSE(window.Enabled(Control::EditAddressesButton));
        EXPECT_TRUE(window.Enabled(Control::StopButton));
        EXPECT_FALSE(window.ChecksEnabled());
        EXPECT_TRUE(window.ProgressVisible());
        EXPECT_EQ(window.Maximum(), 3);
        EXPECT_EQ(window.Get(Control::RunStateLabel), "正常运行");
    };
    Run();

    std::vector<Request> expected;
    for (const Text a : {"a.com", "b.com", "c.com"})
        for (const char* kind : {"baidupr", "ip", "sl1", "sogoupr"}) expected.push_back({kind, a});
    EXPECT_EQ(lookup.Requests(), expected);
    // The run's plan goes once, before the first lookup: every address and the ticks.
    const auto plans = lookup.Plans();
    ASSERT_EQ(plans.size(), 1u);
    EXPECT_EQ(plans[0].addresses, (std::vector<Text>{"a.com", "b.com", "c.com"}));
    std::array<bool, 13> ticks{};
    for (const int column : {1, 4, 9, 11}) ticks[static_cast<std::size_t>(column)] = true;
    EXPECT_EQ(plans[0].ticks, ticks);
    EXPECT_EQ(plans[0].requestsBefore, 0u);
    EXPECT_EQ(window.Rows(),
              (std::vector<Row>{FullRow("a.com"), FullRow("b.com"), FullRow("c.com")}));
    EXPECT_EQ(StatusCaptions(),
              (std::vector<Text>{"正在查询：（1/3）a.com", "正在查询：（2/3）b.com",
                                 "正在查询：（3/3）c.com", "全部查询完成"}));
    EXPECT_EQ(window.Messages(), std::vector<Text>{"OK，查询完成"});
    EXPECT_EQ(pauses, 3);
    const auto log = window.Log();
    for (const char* entry : {"SetProgressPosition 3", "ScrollToRow 2"})
        EXPECT_NE(std::find(log.begin(), log.end(), entry), log.end()) << entry;
    EXPECT_TRUE(sawRunningState);
    EXPECT_EQ(window.Get(Control::StopButton), "停止查询");
    ExpectIdleControls();
}

TEST_F(RunFixture, EmptyOrMissingFileEndsAtOnceWithTheUsualMessage) {
    struct Case {
        const char* name;
        bool create;
        std::vector<Text> messages;
    };
    for (const Case& c : {
             Case{"missing", false, {"没有网址数据，请点击功能区 编辑网址", "OK，查询完成"}},
             Case{"empty", true, {"OK，查询完成"}},
         }) {
        SCOPED_TRACE(c.name);
        TempDir here;
        AddressFile empty(here.path());
        if (c.create) {
            ASSERT_TRUE(WriteWholeFile(empty.Path(), ""));
        }
        FakeRunWindow w;
        w.Put(Control::CountLabel, "0");
        QueryRun(w, empty, lookup, [] {}).Run();
        EXPECT_EQ(w.Messages(), c.messages);
        EXPECT_TRUE(w.Rows().empty());
        EXPECT_EQ(w.Get(Control::StatusLabel), "全部查询完成");
        // The missing-file message comes before anything else of the run.
        if (!c.create) {
            EXPECT_EQ(w.Log().front(), "ShowMessage " + c.messages.front());
        }
        for (const Control control : {Control::StartButton, Control::ExportButton,
                                      Control::ClearListButton, Control::EditAddressesButton})
            EXPECT_TRUE(w.Enabled(control));
        EXPECT_FALSE(w.Enabled(Control::StopButton));
    }
    EXPECT_TRUE(lookup.Requests().empty());
}

TEST_F(RunFixture, NoMetricTickedGivesAddressOnlyRowsAndNoRequest) {
    WriteAddresses("a.com\r\n\r\nc.com\r\n");
    FakeRunWindow w;
    w.Put(Control::CountLabel, "3");
    QueryRun(w, file, lookup, [] {}).Run();
    EXPECT_TRUE(lookup.Requests().empty());
    EXPECT_EQ(w.Rows(),
              (std::vector<Row>{MakeRow("a.com", {}), MakeRow("", {}), MakeRow("c.com", {})}));
    const auto log = w.Log();
    EXPECT_EQ(std::count(log.begin(), log.end(), "HideUntickedColumns"), 1);
    EXPECT_NE(std::find(log.begin(), log.end(), "SetProgressPosition 3"), log.end());
}

// The stop button pressed at a chosen moment of the second address (or the third, the last).
TEST_F(RunFixture, StopTakesEffectAtTheNextCheck) {
    struct Case {
        const char* name;
        std::string pressAfterCall;  // window call after which stop is pressed
        Request pressDuringLookup;   // or: lookup during which it is pressed
        int pressDuringPause;        // or: pause (1-based) during which it is pressed
        std::vector<Row> rows;
        int progress;
    };
    const std::vector<Case> cases = {
        {"before the first check",
         "SetCell 1 0 b.com",
         {},
         0,
         {FullRow("a.com"), MakeRow("b.com", {})},
         1},
        {"during a lookup of the first group",
         "",
         {"ip", "b.com"},
         0,
         {FullRow("a.com"), GroupOneRow("b.com")},
         1},
        {"during a lookup of the second group",
         "",
         {"sogoupr", "b.com"},
         0,
         {FullRow("a.com"), FullRow("b.com")},
         1},
        {"after the third check",
         "",
         {},
         2,
         {FullRow("a.com"), FullRow("b.com"), MakeRow("c.com", {})},
         2},
        {"after the last address's third check",
         "",
         {},
         3,
         {FullRow("a.com"), FullRow("b.com"), FullRow("c.com")},
         3},
    };
    WriteAddresses("a.com\r\nb.com\r\nc.com\r\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeRunWindow w;
        FakeLookup l;
        w.Put(Control::CountLabel, "3");
        w.Tick({1, 4, 9, 11});
        int lastPosition = 0;
        w.onCall = [&](const std::string& entry) {
            if (entry == c.pressAfterCall) RequestStop(w);
            if (entry.starts_with("SetProgressPosition ") && entry != "SetProgressPosition 0")
                lastPosition = std::stoi(entry.substr(20));
        };
        l.onRequest = [&](const Request& r) {
            if (r == c.pressDuringLookup) RequestStop(w);
        };
        int pause = 0;
        QueryRun(w, file, l, [&] {
            if (++pause == c.pressDuringPause) RequestStop(w);
        }).Run();

        EXPECT_EQ(w.Rows(), c.rows);
        EXPECT_EQ(lastPosition, c.progress);
        EXPECT_EQ(w.Get(Control::StatusLabel), "ok,已停止");
        EXPECT_EQ(w.Get(Control::StopButton), "停止查询");
        EXPECT_EQ(w.Get(Control::RunStateLabel), "停止");
        EXPECT_TRUE(w.Messages().empty());
        EXPECT_TRUE(w.Enabled(Control::StartButton));
        EXPECT_FALSE(w.Enabled(Control::StopButton));
        EXPECT_EQ(w.Position(), 0);
    }
}

// The final message comes with the stop button disabled, so no stop can be asked for a run that
// has ended; and a run starts with the stop button's own caption, whatever was left on it.
TEST_F(RunFixture, FinalMessageComesWithStopDisabledAndEveryRunStartsWithItsStopCaption) {
    WriteAddresses("a.com\r\n");
    window.Put(Control::StopButton, "正在停止");
    bool stopEnabledAtMessage = true;
    window.onCall = [&](const std::string& entry) {
        if (entry == "ShowMessage OK，查询完成")
            stopEnabledAtMessage = window.Enabled(Control::StopButton);
    };
    Text stopCaptionDuringRun;
    lookup.onRequest = [&](const Request&) {
        stopCaptionDuringRun = window.Get(Control::StopButton);
    };
    Run();
    EXPECT_FALSE(stopEnabledAtMessage);
    EXPECT_EQ(stopCaptionDuringRun, "停止查询");
    EXPECT_EQ(window.Get(Control::StopButton), "停止查询");
    EXPECT_EQ(window.Get(Control::StatusLabel), "全部查询完成");
    EXPECT_EQ(window.Messages(), std::vector<Text>{"OK，查询完成"});
    ExpectIdleControls();
}

TEST_F(RunFixture, LoopCoversTheFileWhileCountAndMaximumKeepTheOldCount) {
    window.Put(Control::CountLabel, "120");
    WriteAddresses("a.com\r\nb.com\r\nc.com\r\n");
    Run();
    EXPECT_EQ(window.Rows().size(), 3u);
    EXPECT_EQ(window.Maximum(), 120);
    EXPECT_EQ(StatusCaptions().at(2), "正在查询：（3/120）c.com");
}

TEST(ProgressMaximum, IsTheCountTruncatedWithinTheBarsRangeAndAtLeastOne) {
    struct Case {
        Text count;
        int maximum;
    };
    const int most = std::numeric_limits<int>::max();
    for (const Case& c :
         {Case{"40000", 40000}, Case{"12.7", 12}, Case{"1", 1}, Case{"0", 1}, Case{"0.9", 1},
          Case{"", 1}, Case{"abc", 1}, Case{"-4", 1}, Case{"1e12", most}, Case{"１２", 12}}) {
        SCOPED_TRACE(c.count);
        TempDir dir;
        AddressFile file(dir.path());
        ASSERT_TRUE(WriteWholeFile(file.Path(), ""));
        FakeRunWindow w;
        FakeLookup l;
        w.Put(Control::CountLabel, c.count);
        QueryRun(w, file, l, [] {}).Run();
        EXPECT_EQ(w.Maximum(), c.maximum);
    }
}

}  // namespace
