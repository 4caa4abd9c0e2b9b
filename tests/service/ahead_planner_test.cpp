// Working ahead of a run plan, against a simulated internet whose sites and WHOIS server
// answer late and count what they are asked.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "query/lookup.h"
#include "service/service_fixture.h"
#include "service/utf8.h"
#include "support/slow_internet.h"

namespace {

using namespace std::chrono_literals;

std::array<bool, 13> Ticks(std::initializer_list<int> columns) {
    std::array<bool, 13> ticks{};
    for (const int c : columns) ticks[static_cast<std::size_t>(c)] = true;
    return ticks;
}

// Asks the way a run does: the plan once (when `plan`), then host by host every ticked
// figure in catalogue order, up to `stopAfter` hosts. The cells, host by host.
std::vector<std::vector<Text>> RunLikeTheProgram(ServiceLookup& lookup,
                                                 const std::vector<Text>& hosts,
                                                 const std::array<bool, 13>& ticks, bool plan,
                                                 std::size_t stopAfter = SIZE_MAX) {
    if (plan) lookup.PlanRun(hosts, ticks);
    std::vector<std::vector<Text>> cells;
    for (std::size_t i = 0; i < hosts.size() && i < stopAfter; ++i) {
        auto& row = cells.emplace_back();
        for (const Metric& metric : kMetricCatalogue) {
            if (ticks[static_cast<std::size_t>(metric.column)]) {
                row.push_back(lookup.LookupMetric(metric, hosts[i]));
            }
        }
    }
    return cells;
}

ServiceSettings SlowSettings(SlowInternet& net, std::size_t window, std::size_t workers) {
    ServiceSettings settings = LoopbackSettings();
    settings.whoisPort = net.whoisPort();
    settings.aheadHosts = window;
    settings.aheadLookups = workers;
    return settings;
}

std::string ServiceHostOf(const LookupService& service) {
    return "127.0.0.1:" + std::to_string(service.Port());
}

// Ten sites, an empty line, a line that is no host, and a site again at the end.
std::vector<Text> MixedHosts(SlowInternet& net) {
    std::vector<Text> hosts;
    for (int n = 0; n < 10; ++n) hosts.push_back(net.Site(n));
    hosts.insert(hosts.begin() + 4, "");
    hosts.insert(hosts.begin() + 7, "http://[bad");
    hosts.push_back(net.Site(3));
    return hosts;
}

// The plan changes when the service looks, never what it finds or how often it asks: with
// the cache off, the sites and the WHOIS server see the very requests of a run without a
// plan (one page per host visit for title and links together), and the cells are the same.
TEST(WorkingAhead, GivesTheAnswersAndRequestsOfARunWithoutPlan) {
    SlowInternet planned(20ms);
    SlowInternet plain(20ms);
    ServiceSettings withPlan = SlowSettings(planned, 4, 4);
    ServiceSettings withoutPlan = SlowSettings(plain, 0, 4);
    withPlan.cacheLifetime = withoutPlan.cacheLifetime = 0s;
    auto aheadService = LookupService::Start(withPlan, "127.0.0.1", 0);
    auto plainService = LookupService::Start(withoutPlan, "127.0.0.1", 0);
    ASSERT_TRUE(aheadService && plainService);
    ServiceLookup aheadLookup(ServiceHostOf(*aheadService));
    ServiceLookup plainLookup(ServiceHostOf(*plainService));
    const auto ticks = Ticks({4, 5, 6, 7});

    const auto aheadCells = RunLikeTheProgram(aheadLookup, MixedHosts(planned), ticks, true);
    const auto plainCells = RunLikeTheProgram(plainLookup, MixedHosts(plain), ticks, true);

    ASSERT_EQ(aheadCells.size(), 13u);
    EXPECT_EQ(aheadCells[0], (std::vector<Text>{"127.0.0.1", "1", "2003-04-05", "Site 0"}));
    EXPECT_EQ(aheadCells[4], (std::vector<Text>(4, Text(kFailMark))));
    EXPECT_EQ(aheadCells, plainCells);
    aheadService->Stop();
    plainService->Stop();
    EXPECT_EQ(planned.SiteRequests(), plain.SiteRequests());
    EXPECT_EQ(planned.WhoisQueries(), plain.WhoisQueries());
    EXPECT_EQ(planned.SiteRequests()["site3.test"], 2);
    EXPECT_EQ(planned.SiteRequests()["site9.test"], 1);
}

// A run that stops after five hosts leaves the window's hosts asked and no more, however
// long the plan is: the work follows the requests.
TEST(WorkingAhead, StopsOneWindowPastTheLastRequest) {
    SlowInternet net(20ms);
    auto service = LookupService::Start(SlowSettings(net, 3, 4), "127.0.0.1", 0);
    ASSERT_TRUE(service);
    ServiceLookup lookup(ServiceHostOf(*service));
    std::vector<Text> hosts;
    for (int n = 0; n < 40; ++n) hosts.push_back(net.Site(n));

    RunLikeTheProgram(lookup, hosts, Ticks({5, 6, 7}), true, 5);

    // Hosts 0 to 4 asked, 5 to 7 worked ahead.
    EXPECT_TRUE(
        WaitUntil([&] { return net.TotalSiteRequests() >= 8 && net.TotalWhoisQueries() >= 8; }));
    service->Stop();
    std::set<std::string> sites;
    for (const auto& [site, count] : net.SiteRequests()) {
        sites.insert(site);
        EXPECT_EQ(count, 1) << site;
    }
    std::set<std::string> expected;
    for (int n = 0; n < 8; ++n) expected.insert("site" + std::to_string(n) + ".test");
    EXPECT_EQ(sites, expected);
    EXPECT_EQ(net.WhoisQueries().size(), 8u);
}

// A new run of the same program replaces its plan: the old plan's window is not worked on.
// Another program's plan is a window of its own.
TEST(WorkingAhead, ANewRunReplacesTheProgramsPlanAndOtherProgramsKeepTheirs) {
    SlowInternet net(40ms);
    // One worker, so that an old plan left in place would take turns with the new one.
    auto service = LookupService::Start(SlowSettings(net, 3, 1), "127.0.0.1", 0);
    ASSERT_TRUE(service);
    ServiceLookup program(ServiceHostOf(*service));
    ServiceLookup otherProgram(ServiceHostOf(*service));
    std::vector<Text> first;
    std::vector<Text> second;
    std::vector<Text> other;
    for (int n = 0; n < 10; ++n) {
        first.push_back(net.Site(n));
        second.push_back(net.Site(100 + n));
        other.push_back(net.Site(200 + n));
    }
    const auto title = Ticks({7});
    program.PlanRun(first, title);
    program.PlanRun(second, title);
    otherProgram.PlanRun(other, title);

    const auto asked = [&](int n) {
        return net.SiteRequests().contains("site" + std::to_string(n) + ".test");
    };
    EXPECT_TRUE(WaitUntil([&] {
        return asked(100) && asked(101) && asked(102) && asked(200) && asked(201) && asked(202);
    }));
    service->Stop();
    // At most the page the worker had begun before the new plan came.
    int firstPlanPages = 0;
    for (int n = 0; n < 10; ++n) firstPlanPages += asked(n) ? 1 : 0;
    EXPECT_LE(firstPlanPages, 1);
    EXPECT_FALSE(asked(103));
    EXPECT_FALSE(asked(203));
}

// Engines keep one request at a time and their pause whoever asks: the ahead-work queues.
TEST(WorkingAhead, EnginesKeepTheirPaceMeasuredAtTheEngine) {
    struct Visit {
        std::string target;
        std::chrono::steady_clock::time_point start;
        std::chrono::steady_clock::time_point end;
    };
    std::mutex mutex;
    std::vector<Visit> baidu;
    std::vector<Visit> sogou;
    FakeWeb engines;
    for (const char* path : {"/baidu", "/sogou"}) {
        std::vector<Visit>& visits = std::string(path) == "/baidu" ? baidu : sogou;
        engines.server().Get(
            path, [&](const httplib::Request& request, httplib::Response& response) {
                const auto start = std::chrono::steady_clock::now();
                std::this_thread::sleep_for(10ms);  // the engine's own latency
                response.set_content(U8(u8"<span>找到相关结果约1,234个</span>"),
                                     "text/html; charset=utf-8");
                std::lock_guard lock(mutex);
                visits.push_back({request.target, start, std::chrono::steady_clock::now()});
            });
    }
    engines.Start();
    SlowInternet net(0ms);
    ServiceSettings settings = SlowSettings(net, 4, 8);
    settings.baiduUrl = engines.Url("/baidu?wd=site%3A");
    settings.sogouUrl = engines.Url("/sogou?query=site%3A");
    settings.engineInterval = 60ms;
    auto service = LookupService::Start(settings, "127.0.0.1", 0);
    ASSERT_TRUE(service);
    ServiceLookup lookup(ServiceHostOf(*service));
    std::vector<Text> hosts;
    for (int n = 0; n < 6; ++n) hosts.push_back("engine" + std::to_string(n) + ".com");

    const auto cells = RunLikeTheProgram(lookup, hosts, Ticks({3, 9, 10}), true);
    service->Stop();

    for (const auto& row : cells) EXPECT_EQ(row, (std::vector<Text>{"1234", "1234", "1234"}));
    for (const auto* visits : {&baidu, &sogou}) {
        // baidu and sl1 for six hosts; sogou for six: each once, one at a time, paced.
        std::set<std::string> targets;
        for (const Visit& visit : *visits) targets.insert(visit.target);
        EXPECT_EQ(targets.size(), visits->size());
        EXPECT_EQ(visits->size(), visits == &baidu ? 12u : 6u);
        auto sorted = *visits;
        std::sort(sorted.begin(), sorted.end(),
                  [](const Visit& a, const Visit& b) { return a.start < b.start; });
        for (std::size_t i = 1; i < sorted.size(); ++i) {
            EXPECT_GE(sorted[i].start - sorted[i - 1].end, 60ms) << sorted[i].target;
        }
    }
}

// What the plan request answers, and that a malformed plan changes nothing.
TEST(WorkingAhead, PlanRequestsAreCheckedAndBounded) {
    SlowInternet net(0ms);
    auto service = LookupService::Start(SlowSettings(net, 4, 2), "127.0.0.1", 0);
    ServiceSettings off = SlowSettings(net, 0, 2);
    auto offService = LookupService::Start(off, "127.0.0.1", 0);
    ASSERT_TRUE(service && offService);
    const std::string good = "zarkel-plan 1\nclient a1\nkinds title\n\n" + net.Site(1) + "\n";
    struct Case {
        const char* name;
        std::string body;
        httplib::Headers headers;
        int status;
    };
    const std::vector<Case> cases = {
        {"good", good, {}, 204},
        {"other version", "zarkel-plan 2\nclient a1\nkinds title\n\n", {}, 400},
        {"bad client", "zarkel-plan 1\nclient a b\nkinds title\n\n", {}, 400},
        {"no blank line", "zarkel-plan 1\nclient a1\nkinds title\n", {}, 400},
        {"empty", "", {}, 400},
        {"announced too large", "x", {{"Content-Length", "100000000"}}, 413},
    };
    for (const Case& c : cases) {
        httplib::Client client("127.0.0.1", service->Port());
        const auto reply = client.Post("/plan", c.headers, c.body, "text/plain");
        if (c.status == 413 && !reply) continue;  // the service may close without reading
        ASSERT_TRUE(reply) << c.name;
        EXPECT_EQ(reply->status, c.status) << c.name;
    }
    httplib::Client client("127.0.0.1", offService->Port());
    const auto reply = client.Post("/plan", good, "text/plain");
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, 404);
    // Only the good plan was worked on.
    EXPECT_TRUE(WaitUntil([&] { return net.TotalSiteRequests() == 1; }));
}

}  // namespace
