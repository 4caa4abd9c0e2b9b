#include "app/child_service.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "addresses/address_file.h"
#include "app/service_choice.h"
#include "common/file_io.h"
#include "platform/child_process.h"
#include "query/lookup.h"
#include "query/query_run.h"
#include "query/run_fakes.h"
#include "support/loopback_server.h"
#include "support/temp_dir.h"

namespace {

using namespace std::chrono_literals;

// Sets or unsets an environment variable for one test and puts back what was there.
class EnvironmentVariable final {
  public:
    EnvironmentVariable(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old;
        if (value) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ~EnvironmentVariable() {
        if (m_old) {
            setenv(m_name.c_str(), m_old->c_str(), 1);
        } else {
            unsetenv(m_name.c_str());
        }
    }
    EnvironmentVariable(const EnvironmentVariable&) = delete;
    EnvironmentVariable& operator=(const EnvironmentVariable&) = delete;

  private:
    std::string m_name;
    std::optional<std::string> m_old;
};

bool ProcessGone(int pid) {
    return kill(pid, 0) != 0 && errno == ESRCH;
}

std::string SitePage() {
    const std::string body = reinterpret_cast<const char*>(
        u8"<html><head><title>首页</title></head><body></body></html>");
    return "HTTP/1.0 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
           std::to_string(body.size()) + "\r\n\r\n" + body;
}

// The service is killed while it fetches the title of the second host: that cell stays empty,
// the next lookup starts a new child on a new port, and the run goes on to its end. The
// child only fetches the site again for each host because it was given the program's
// environment (its cache turned off there).
TEST(ChildServiceTest, KilledChildCostsTheLookupInFlightAndTheRunGoesOn) {
    const EnvironmentVariable noCache("ZARKEL_LOOKUP_CACHE_S", "0");
    const EnvironmentVariable noProxy("http_proxy", nullptr);
    const EnvironmentVariable noAllProxy("all_proxy", nullptr);
    std::unique_ptr<ChildService> service;
    std::atomic<int> killed{0};
    LoopbackServer site([&](LoopbackServer::Connection& c) {
        if (c.index() == 1) {
            killed = service->ChildId();
            kill(killed, SIGKILL);
            c.HoldUntilClosed();  // until the dead child's end of the connection is gone
            return;
        }
        c.Send(SitePage());
        c.Finish();
    });

    service = ChildService::Start(LOOKUPD_BINARY);
    ASSERT_NE(service, nullptr);
    const int first = service->ChildId();
    ASSERT_GT(first, 0);
    TempDir dir;
    const AddressFile addresses(dir.path());
    ASSERT_TRUE(WriteWholeFile(addresses.Path(),
                               site.host() + "\r\n" + site.host() + "\r\n" + site.host() + "\r\n"));
    FakeRunWindow window;
    window.Put(RunWindow::Control::CountLabel, "3");
    window.Tick({4, 7});
    ServiceLookup lookup(*service);
    QueryRun(window, addresses, lookup, [] {}).Run();

    EXPECT_EQ(killed, first);
    const auto rows = window.Rows();
    ASSERT_EQ(rows.size(), 3u);
    const char* titles[] = {"首页", "", "首页"};
    for (std::size_t row = 0; row < rows.size(); ++row) {
        EXPECT_EQ(rows[row][0], site.host()) << row;
        EXPECT_EQ(rows[row][4], "127.0.0.1") << row;
        EXPECT_EQ(rows[row][7], titles[row]) << row;
    }
    EXPECT_EQ(window.Messages(), std::vector<Text>{Text(kDoneMessage)});
    EXPECT_EQ(service->Starts(), 2);
    const int second = service->ChildId();
    EXPECT_GT(second, 0);
    EXPECT_NE(second, first);

    service.reset();
    EXPECT_TRUE(ProcessGone(second));
}

// A child that reports no usable port is ended, and its lookup gets no host.
TEST(ChildServiceTest, OnlyAReportedPortGivesAHost) {
    struct Case {
        const char* name;
        const char* script;
        Text host;
    };
    // Each child reads its link until the parent closes it, so none ends on its own.
    const Case cases[] = {
        {"a port", "echo 4321 >&3; exec cat <&3 >/dev/null", "127.0.0.1:4321"},
        {"ends at once", "exit 0", ""},
        {"says nothing", "exec cat <&3 >/dev/null", ""},
        {"no number", "echo port >&3; exec cat <&3 >/dev/null", ""},
        {"port 0", "echo 0 >&3; exec cat <&3 >/dev/null", ""},
        {"port out of range", "echo 65536 >&3; exec cat <&3 >/dev/null", ""},
        {"a number and more", "echo '4321 x' >&3; exec cat <&3 >/dev/null", ""},
        {"a line too long", "printf '%070d' 4321 >&3; exec cat <&3 >/dev/null", ""},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const std::string program = dir.File("service");
        ASSERT_TRUE(WriteWholeFile(program, std::string("#!/bin/sh\n") + c.script + "\n"));
        ASSERT_EQ(chmod(program.c_str(), 0755), 0);
        auto service = ChildService::Start(program, {.starts = 1, .window = 60s, .ready = 300ms});
        ASSERT_NE(service, nullptr) << c.name;
        EXPECT_EQ(service->CurrentHost(), c.host) << c.name;
        EXPECT_EQ(service->ChildId() != 0, !c.host.empty()) << c.name;
    }
}

// The stored settings reach each child through its environment, the program's own variables
// winning; new settings end the child, and the next lookup starts one with them.
TEST(ChildServiceTest, ChildGetsTheStoredSettingsAndIsRestartedWithNewOnes) {
    EXPECT_EQ(ChildEnvironment({{"ZARKEL_LOOKUP_OPR_KEY", "k"},
                                {"LD_PRELOAD", "/tmp/x.so"},
                                {"ZARKEL_LOOKUP_RANK_LIST", ""}}),
              std::vector<std::string>{"ZARKEL_LOOKUP_OPR_KEY=k"});
    TempDir dir;
    const std::string program = dir.File("service");
    ASSERT_TRUE(WriteWholeFile(
        program, "#!/bin/sh\necho \"$ZARKEL_LOOKUP_PORT\" >&3; exec cat <&3 >/dev/null\n"));
    ASSERT_EQ(chmod(program.c_str(), 0755), 0);
    EnvironmentVariable unset("ZARKEL_LOOKUP_PORT", nullptr);
    auto service = ChildService::Start(program, {.starts = 5, .window = 60s, .ready = 2000ms},
                                       std::chrono::steady_clock::now, {"ZARKEL_LOOKUP_PORT=4321"});
    ASSERT_NE(service, nullptr);
    EXPECT_EQ(service->CurrentHost(), "127.0.0.1:4321");
    const int first = service->ChildId();
    service->SetEnvironment({"ZARKEL_LOOKUP_PORT=4322"});
    EXPECT_TRUE(ProcessGone(first));
    EXPECT_EQ(service->CurrentHost(), "127.0.0.1:4322");
    EnvironmentVariable set("ZARKEL_LOOKUP_PORT", "4400");
    service->SetEnvironment({"ZARKEL_LOOKUP_PORT=4323"});
    EXPECT_EQ(service->CurrentHost(), "127.0.0.1:4400");
    EXPECT_EQ(service->Starts(), 3);
}

// After a lookup that got nothing, a child that answers the check on its link stays; one
// that does not is ended and replaced at the next lookup.
TEST(ChildServiceTest, NoReplyKeepsAChildThatAnswersAndReplacesOneThatDoesNot) {
    struct Case {
        const char* name;
        const char* script;
        bool kept;
    };
    const Case cases[] = {
        {"answers", "echo 4321 >&3; exec cat <&3 >&3", true},
        {"hangs", "echo 4321 >&3; exec cat <&3 >/dev/null", false},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const std::string program = dir.File("service");
        ASSERT_TRUE(WriteWholeFile(program, std::string("#!/bin/sh\n") + c.script + "\n"));
        ASSERT_EQ(chmod(program.c_str(), 0755), 0);
        auto service = ChildService::Start(program, {.starts = 5, .window = 60s, .ready = 300ms});
        ASSERT_NE(service, nullptr) << c.name;
        ASSERT_EQ(service->CurrentHost(), "127.0.0.1:4321") << c.name;
        const int first = service->ChildId();
        service->NoReplyFrom("127.0.0.1:9");  // another host: nothing to check
        EXPECT_EQ(service->ChildId(), first) << c.name;
        service->NoReplyFrom("127.0.0.1:4321");
        EXPECT_EQ(service->ChildId() == first, c.kept) << c.name;
        EXPECT_EQ(service->CurrentHost(), "127.0.0.1:4321") << c.name;
        EXPECT_EQ(service->Starts(), c.kept ? 1 : 2) << c.name;
    }
}

// A service that dies at once is started at most `starts` times within the window; then it
// is tried again.
TEST(ChildServiceTest, CrashLoopIsHeldToTheStartLimit) {
    auto now = std::chrono::steady_clock::time_point{};
    auto service = ChildService::Start("/bin/false", {.starts = 3, .window = 60s, .ready = 10s},
                                       [&now] { return now; });
    ASSERT_NE(service, nullptr);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(service->CurrentHost(), "") << i;
    EXPECT_EQ(service->Starts(), 3);
    now += 60s;
    EXPECT_EQ(service->CurrentHost(), "");
    EXPECT_EQ(service->Starts(), 4);
}

// Ctrl-C at a terminal goes to the foreground group: it must stop the program (zarkel-batch
// then finishes the host under way), not the service the program is still asking.
TEST(ChildServiceTest, ChildRunsInAProcessGroupOfItsOwn) {
    const auto child = ChildProcess::Start("/bin/sleep", {"30"});
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(getpgid(child->Id()), child->Id());
    EXPECT_NE(getpgid(child->Id()), getpgrp());
}

TEST(ChildServiceTest, ProgramThatCannotRunGivesNoService) {
    TempDir dir;
    EXPECT_EQ(ChildService::Start(dir.File("missing")), nullptr);
    ASSERT_TRUE(WriteWholeFile(dir.File("not-executable"), "#!/bin/sh\n"));
    EXPECT_EQ(ChildService::Start(dir.File("not-executable")), nullptr);
}

}  // namespace
