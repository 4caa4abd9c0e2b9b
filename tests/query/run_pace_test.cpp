#include "query/run_pace.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

// No estimate before the third host; then the hosts left at the pace of the recent ones (at most
// ten), rounded up to whole seconds.
TEST(RunPace, EstimatesFromTheRecentHostsOnceAFewAreDone) {
    const std::chrono::steady_clock::time_point start{};
    RunPace pace;
    pace.Start(start);
    EXPECT_EQ(pace.TimeLeft(10), std::nullopt);
    pace.HostDone(start + 1s);
    pace.HostDone(start + 2s);
    EXPECT_EQ(pace.TimeLeft(10), std::nullopt);
    pace.HostDone(start + 3500ms);
    EXPECT_EQ(pace.HostsDone(), 3);
    EXPECT_EQ(pace.TimeLeft(3), 4s);  // 3.5 s / 3 hosts x 3 = 3.5 s, rounded up
    EXPECT_EQ(pace.TimeLeft(0), 0s);
    EXPECT_EQ(pace.TimeLeft(-2), 0s);

    // Twenty hosts of 100 ms each after the slow start: the start no longer counts.
    auto now = start + 3500ms;
    for (int i = 0; i < 20; ++i) pace.HostDone(now += 100ms);
    EXPECT_EQ(pace.TimeLeft(100), 10s);

    // A new start forgets the earlier hosts.
    pace.Start(now);
    pace.HostDone(now + 1s);
    EXPECT_EQ(pace.TimeLeft(1), std::nullopt);
}

}  // namespace
