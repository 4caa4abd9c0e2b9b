#include "batch/progress_report.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::chrono_literals;

struct ScriptedClock {
    ProgressReport::Clock::time_point now{};
    ProgressReport::Now Function() {
        return [this] { return now; };
    }
};

TEST(ProgressReport, TerminalLineShowsRateAndTimeLeftAfterAFewHosts) {
    ScriptedClock clock;
    std::string out;
    ProgressReport report(
        true, [&out](std::string_view text) { out = text; }, clock.Function());
    clock.now += 500ms;
    report.Update(1, 10);
    EXPECT_EQ(out, "\r[##......................] 1/10 hosts\x1b[K");
    for (int done = 2; done <= 4; ++done) {
        clock.now += 500ms;
        report.Update(done, 10);
    }
    // Four hosts half a second apart: two a second, six left.
    EXPECT_EQ(out, "\r[#########...............] 4/10 hosts, 2.0 hosts/s, about 3 s left\x1b[K");
    clock.now += 95s;
    report.Finish(4, false);
    EXPECT_EQ(out, "\r\x1b[K4 hosts done, stopped in 1 min 37 s\n");
}

TEST(ProgressReport, ElsewhereWritesALineEveryTenSecondsAndAtTheEnd) {
    ScriptedClock clock;
    std::string out;
    ProgressReport report(
        false, [&out](std::string_view text) { out += text; }, clock.Function());
    for (int done = 1; done <= 30; ++done) {
        clock.now += 1s;
        report.Update(done, 30);
    }
    EXPECT_EQ(out,
              "10/30 hosts, 1.0 hosts/s, about 20 s left\n"
              "20/30 hosts, 1.0 hosts/s, about 10 s left\n"
              "30/30 hosts, 1.0 hosts/s\n");
}

TEST(ProgressReport, DurationText) {
    EXPECT_EQ(DurationText(0s), "0 s");
    EXPECT_EQ(DurationText(59s), "59 s");
    EXPECT_EQ(DurationText(65s), "1 min 05 s");
    EXPECT_EQ(DurationText(7620s), "2 h 07 min");
}

}  // namespace
