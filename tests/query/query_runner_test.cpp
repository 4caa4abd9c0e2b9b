#include "query/query_runner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "addresses/address_file.h"
#include "common/file_io.h"
#include "query/run_fakes.h"
#include "support/temp_dir.h"

namespace {

using Control = RunWindow::Control;

bool WaitUntil(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

struct RunnerFixture : ::testing::Test {
    TempDir dir;
    AddressFile file{dir.path()};
    FakeRunWindow window;
    FakeLookup lookup;

    void SetUp() override {
        window.Put(Control::CountLabel, "2");
        window.Tick({1, 4});
    }
    void WriteAddresses(const std::string& bytes) {
        ASSERT_TRUE(WriteWholeFile(file.Path(), bytes));
    }
    long Count(const std::string& entry) {
        const auto log = window.Log();
        return std::count(log.begin(), log.end(), entry);
    }
};

TEST_F(RunnerFixture, PressesWhileAWorkerIsGoingAreRefused) {
    window.holdMessages = true;  // no url.txt: the run starts with a message
    QueryRunner runner(window, file, lookup, {});
    ASSERT_TRUE(runner.StartQueryRun());
    ASSERT_TRUE(window.WaitForMessage());
    // Still starting: the start button is enabled, but a second worker must not start.
    EXPECT_TRUE(window.Enabled(Control::StartButton));
    EXPECT_FALSE(runner.StartQueryRun());
    window.CloseMessage();
    ASSERT_TRUE(WaitUntil([&] { return window.Messages().size() == 2; }));
    EXPECT_FALSE(runner.StartQueryRun());
    window.CloseMessage();
    ASSERT_TRUE(WaitUntil([&] { return !runner.IsRunActive(); }));
    EXPECT_EQ(Count("HideUntickedColumns"), 1);

    // Once the worker is through, the next press starts a new run.
    window.holdMessages = false;
    ASSERT_TRUE(runner.StartQueryRun());
    ASSERT_TRUE(WaitUntil([&] { return !runner.IsRunActive(); }));
    EXPECT_EQ(Count("HideUntickedColumns"), 2);
}

TEST_F(RunnerFixture, WorkerRunsBesideTheCallerAndStopsOnRequest) {
    WriteAddresses("a.com\r\nb.com\r\n");
    lookup.holdRequest = 2;  // baidupr of b.com
    QueryRunner runner(window, file, lookup, {});
    ASSERT_TRUE(runner.StartQueryRun());
    ASSERT_TRUE(lookup.WaitUntilHeld());  // the caller is free while the lookup hangs
    EXPECT_TRUE(window.Enabled(Control::StopButton));
    RequestStop(window);
    EXPECT_EQ(window.Get(Control::StatusLabel), "正在停止...");
    lookup.Release();
    ASSERT_TRUE(WaitUntil([&] { return !runner.IsRunActive(); }));

    // The lookups of the first group still finish; the second check ends the loop.
    const auto rows = window.Rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1][1], "baidupr:b.com");
    EXPECT_EQ(rows[1][4], "ip:b.com");
    EXPECT_EQ(window.Get(Control::StatusLabel), "ok,已停止");
    EXPECT_EQ(window.Get(Control::StopButton), "停止查询");
    EXPECT_TRUE(window.Messages().empty());
}

TEST_F(RunnerFixture, DestructionAbandonsARunAndJoinsItsWorker) {
    WriteAddresses("a.com\r\nb.com\r\n");
    lookup.holdRequest = 1;  // ip of a.com: only a cancel ends it
    auto runner = std::make_unique<QueryRunner>(window, file, lookup, QueryRunner::Options{});
    ASSERT_TRUE(runner->StartQueryRun());
    ASSERT_TRUE(lookup.WaitUntilHeld());
    const auto before = window.Log();
    runner.reset();
    EXPECT_TRUE(lookup.Cancelled());
    // Nothing reached the window after the abandonment, and no further lookup was made.
    EXPECT_EQ(window.Log(), before);
    EXPECT_EQ(lookup.Requests().size(), 2u);
}

TEST_F(RunnerFixture, DestructionClosesTheFinalMessage) {
    WriteAddresses("a.com\r\n");
    window.holdMessages = true;
    auto runner = std::make_unique<QueryRunner>(
        window, file, lookup, QueryRunner::Options{{}, [&] { window.CloseMessage(); }});
    ASSERT_TRUE(runner->StartQueryRun());
    ASSERT_TRUE(window.WaitForMessage());
    runner.reset();
    EXPECT_FALSE(window.MessageOpen());
    EXPECT_EQ(window.Log().back(), "ShowMessage OK，查询完成");
}

}  // namespace
