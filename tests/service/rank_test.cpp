// The rank list, Open PageRank and the answer cache.
#include <gtest/gtest.h>

#include <fstream>

#include "service/service_fixture.h"
#include "service/utf8.h"
#include "support/temp_dir.h"

namespace {

TEST(RankListTest, AnswersTheHostsOrItsRegisteredDomainsRank) {
    TempDir dir;
    {
        std::ofstream list(dir.File("top.csv"));
        list << "rank,domain\r\n1,google.com\r\n2,Example.COM\r\n3,sina.com.cn\r\n"
                "broken line\r\n4,blog.example.org\r\n5,example.com\r\n";
    }
    ServiceSettings settings = LoopbackSettings();
    settings.rankListPath = dir.File("top.csv");
    auto service = LookupService::Start(settings, "127.0.0.1", 0);
    const std::string unranked = U8(u8"无排名");
    const std::pair<const char*, std::string> cases[] = {
        {"google.com", "1"},       {"www.google.com", "1"},           {"example.com", "2"},
        {"mail.example.com", "2"}, {"news.sina.com.cn", "3"},         {"blog.example.org", "4"},
        {"example.org", unranked}, {"unknown.example.net", unranked}, {"127.0.0.1", unranked},
    };
    for (const auto& [host, rank] : cases) EXPECT_EQ(Ask(*service, "alexa", host), rank) << host;
}

TEST(RankListTest, WithoutListOrWithMissingFileAnswersMinusOne) {
    ServiceSettings settings = LoopbackSettings();
    auto service = LookupService::Start(settings, "127.0.0.1", 0);
    EXPECT_EQ(Ask(*service, "alexa", "google.com"), "-1");
    settings.rankListPath = "/nonexistent/top.csv";
    auto missing = LookupService::Start(settings, "127.0.0.1", 0);
    EXPECT_EQ(Ask(*missing, "alexa", "google.com"), "-1");
}

TEST(OpenPageRankTest, AnswersTheIntegerRankWithTheKeyOnly) {
    FakeWeb api;
    api.server().Get("/opr", [](const httplib::Request& request, httplib::Response& response) {
        if (request.get_header_value("API-OPR") != "secret") {
            response.status = 401;
            return;
        }
        const std::string domain = request.get_param_value("domains[0]");
        if (domain == "nan.com" || domain == "inf.com") {
            response.set_content(R"({"status_code":200,"response":[{"status_code":200,)"
                                 R"("page_rank_integer":)" +
                                     domain.substr(0, 3) + "}]}",
                                 "application/json");
            return;
        }
        if (domain == "unknown.com") {
            response.set_content(
                R"({"status_code":200,"response":[{"status_code":404,"error":"Domain not found",)"
                R"("page_rank_integer":0,"page_rank_decimal":0,"rank":null,"domain":"unknown.com"}]})",
                "application/json");
            return;
        }
        response.set_content(
            R"({"status_code":200,"response":[{"status_code":200,"error":"","page_rank_integer":)"
            R"(7,"page_rank_decimal":6.82,"rank":"812","domain":")" +
                domain + R"("}]})",
            "application/json");
    });
    api.Start();
    ServiceSettings settings = LoopbackSettings();
    settings.openPageRankUrl = api.Url("/opr");
    auto keyless = LookupService::Start(settings, "127.0.0.1", 0);
    EXPECT_EQ(Ask(*keyless, "pr", "example.com"), U8(u8"未配置"));
    EXPECT_EQ(api.RequestCount(), 0u);

    settings.openPageRankKey = "secret";
    auto service = LookupService::Start(settings, "127.0.0.1", 0);
    EXPECT_EQ(Ask(*service, "pr", "www.example.com"), "7");
    EXPECT_EQ(Ask(*service, "pr", "unknown.com"), "-1");
    const auto seen = api.Requests();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(Ask(*service, "pr", "nan.com"), "-1");  // not a number: no rank
    EXPECT_EQ(Ask(*service, "pr", "inf.com"), "-1");
    EXPECT_NE(seen[0].target.find("=example.com"), std::string::npos) << seen[0].target;

    settings.openPageRankKey = "wrong";
    auto refused = LookupService::Start(settings, "127.0.0.1", 0);
    EXPECT_EQ(Ask(*refused, "pr", "example.com"), "-1");
}

TEST(AnswerCacheTest, OneFetchServesTitleAndLinksUntilTheCacheIsOff) {
    FakeWeb site;
    site.server().Get("/", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("<title>Cached</title><a href='http://other.example/'>o</a>",
                             "text/html");
    });
    site.Start();
    ServiceSettings settings = LoopbackSettings();
    auto service = LookupService::Start(settings, "127.0.0.1", 0);
    EXPECT_EQ(Ask(*service, "daochu", site.HostPort()), "1");
    EXPECT_EQ(Ask(*service, "title", site.HostPort()), "Cached");
    EXPECT_EQ(Ask(*service, "title", site.HostPort()), "Cached");
    EXPECT_EQ(site.RequestCount(), 1u);

    settings.cacheLifetime = std::chrono::seconds(0);
    auto uncached = LookupService::Start(settings, "127.0.0.1", 0);
    EXPECT_EQ(Ask(*uncached, "title", site.HostPort()), "Cached");
    EXPECT_EQ(Ask(*uncached, "title", site.HostPort()), "Cached");
    EXPECT_EQ(site.RequestCount(), 3u);
}

TEST(AnswerCacheTest, UnreachableSiteIsAskedAgain) {
    FakeWeb site;
    std::atomic<bool> up = false;
    site.server().Get("/", [&up](const httplib::Request&, httplib::Response& response) {
        if (!up) {
            response.status = 503;
            return;
        }
        response.set_content("<title>Back</title>", "text/html");
    });
    site.Start();
    auto service = LookupService::Start(LoopbackSettings(), "127.0.0.1", 0);
    EXPECT_EQ(Ask(*service, "title", site.HostPort()), "-1");
    up = true;
    EXPECT_EQ(Ask(*service, "title", site.HostPort()), "Back");
}

}  // namespace
