// Keyed figures: Baidu and Sogou weight from the aizhan API store, Open PageRank, and the
// settings that carry the keys.
#include <gtest/gtest.h>

#include <cstdlib>
#include <future>

#include "service/aizhan_reply.h"
#include "service/service_fixture.h"
#include "service/utf8.h"

namespace {

const std::string kNotConfigured = U8(u8"未配置");

// Recorded reply shapes of the API store.
std::string Success(const std::string& entries, const std::string& failed = "") {
    return R"({"code":200000,"status":"success","data":{"success":[)" + entries +
           R"(],"count":1,"failed":[)" + failed + R"(]},"msg":"\u8bf7\u6c42\u6210\u529f"})";
}
std::string Entry(const std::string& domain, const std::string& weight) {
    return R"({"domain":")" + domain + R"(","pc_br":)" + weight +
           R"(,"m_br":1,"ip":"100 ~ 200","pc_ip":"50 ~ 100","m_ip":"50 ~ 100"})";
}
const std::string kRateLimited = R"({"code":100008,"status":"error","msg":"rate"})";
const std::string kBadKey = R"({"code":100002,"status":"error","msg":"key error"})";

TEST(AizhanReplyTest, ReadsFiguresFailuresAndRefusals) {
    using Kind = AizhanReply::Kind;
    struct Case {
        std::string json;
        Kind kind;
        std::map<std::string, int, std::less<>> weights;
        std::set<std::string, std::less<>> failed;
    };
    const Case cases[] = {
        {Success(Entry("a.com", "3") + "," + Entry("B.com", "\"7\"")),
         Kind::kFigures,
         {{"a.com", 3}, {"b.com", 7}},
         {}},
        {Success(Entry("a.com", "11") + "," + Entry("c.com", "-1") + "," + Entry("d.com", "2.5")),
         Kind::kFigures,
         {},
         {}},
        {Success("", R"("x.com",{"domain":"y.com"})"), Kind::kFigures, {}, {"x.com", "y.com"}},
        {kRateLimited, Kind::kRateLimited, {}, {}},
        {kBadKey, Kind::kRefused, {}, {}},
        {R"({"code":200000,"status":"error","data":{}})", Kind::kRefused, {}, {}},
        {R"({"code":200000,"status":"success","data":[]})", Kind::kBroken, {}, {}},
        {"<html>502 Bad Gateway</html>", Kind::kBroken, {}, {}},
        {R"({"code":"x"})", Kind::kBroken, {}, {}},
        {std::string(100000, '['), Kind::kBroken, {}, {}},
    };
    for (const Case& c : cases) {
        const AizhanReply reply = ReadAizhanReply(c.json);
        EXPECT_EQ(reply.kind, c.kind) << c.json.substr(0, 80);
        EXPECT_EQ(reply.weights, c.weights) << c.json.substr(0, 80);
        EXPECT_EQ(reply.failed, c.failed) << c.json.substr(0, 80);
    }
}

// The API store on loopback: answers each engine's path with what the test sets.
struct FakeApiStore {
    FakeApiStore() {
        web.server().Get(R"(/(baidurank|sogourank)/siteinfos/([^/]+))",
                         [this](const httplib::Request& request, httplib::Response& response) {
                             std::lock_guard lock(mutex);
                             response.set_content(
                                 request.matches[2] == "secret"
                                     ? reply(request.matches[1], request.get_param_value("domains"))
                                     : kBadKey,
                                 "application/json");
                         });
        web.Start();
    }
    void Answer(std::function<std::string(const std::string&, const std::string&)> r) {
        std::lock_guard lock(mutex);
        reply = std::move(r);
    }
    FakeWeb web;
    std::mutex mutex;
    std::function<std::string(const std::string& engine, const std::string& domains)> reply;
};

ServiceSettings KeyedSettings(const FakeApiStore& api, const std::string& key) {
    ServiceSettings settings = LoopbackSettings();
    settings.aizhanUrl = "http://" + api.web.HostPort();
    settings.aizhanKey = key;
    return settings;
}

TEST(WeightSourceTest, LookupsWithinTheWindowShareOneRequest) {
    FakeApiStore api;
    api.Answer([](const std::string& engine, const std::string&) {
        return engine == "baidurank" ? Success(Entry("a.com", "4") + "," + Entry("b.com", "0"))
                                     : Success(Entry("a.com", "2"));
    });
    ServiceSettings settings = KeyedSettings(api, "secret");
    settings.aizhanBatchWindow = std::chrono::milliseconds(500);
    auto service = LookupService::Start(settings, "127.0.0.1", 0);
    auto a = std::async(std::launch::async, [&] { return Ask(*service, "baidupr", "a.com"); });
    auto b =
        std::async(std::launch::async, [&] { return Ask(*service, "baidupr", "http://B.com/"); });
    EXPECT_EQ(a.get(), "4");
    EXPECT_EQ(b.get(), "0");
    EXPECT_EQ(Ask(*service, "sogoupr", "a.com"), "2");
    const auto seen = api.web.Requests();
    ASSERT_EQ(seen.size(), 2u);
    const std::string& target = seen[0].target;
    EXPECT_EQ(target.rfind("/baidurank/siteinfos/secret?domains=", 0), 0u) << target;
    EXPECT_TRUE(target.ends_with("a.com%7Cb.com") || target.ends_with("b.com%7Ca.com")) << target;
    EXPECT_EQ(seen[1].target, "/sogourank/siteinfos/secret?domains=a.com");
    // Figures are cached like every other.
    EXPECT_EQ(Ask(*service, "baidupr", "a.com"), "4");
    EXPECT_EQ(api.web.RequestCount(), 2u);
}

TEST(WeightSourceTest, FailuresAnswerMinusOneAndAreAskedAgain) {
    struct Case {
        const char* name;
        std::string reply;
        std::size_t requestsForTwoLookups;  // a rate limit quiets the source
    };
    const Case cases[] = {
        {"failed list", Success("", R"("a.com")"), 2},
        {"missing from the reply", Success(Entry("other.com", "3")), 2},
        {"not JSON", "<html>busy</html>", 2},
        {"refused", kBadKey, 2},
        {"rate limit", kRateLimited, 1},
    };
    for (const Case& c : cases) {
        FakeApiStore api;
        api.Answer([&c](const std::string&, const std::string&) { return c.reply; });
        ServiceSettings settings = KeyedSettings(api, "secret");
        settings.aizhanBatchWindow = std::chrono::milliseconds(0);
        auto service = LookupService::Start(settings, "127.0.0.1", 0);
        EXPECT_EQ(Ask(*service, "baidupr", "a.com"), "-1") << c.name;
        EXPECT_EQ(Ask(*service, "baidupr", "a.com"), "-1") << c.name;
        EXPECT_EQ(api.web.RequestCount(), c.requestsForTwoLookups) << c.name;
    }
    FakeApiStore api;
    auto wrongKey = LookupService::Start(KeyedSettings(api, "wrong"), "127.0.0.1", 0);
    EXPECT_EQ(Ask(*wrongKey, "sogoupr", "a.com"), "-1");
}

TEST(KeyedFigureTest, WithoutKeyAnswersNotConfiguredUntilAKeyIsSet) {
    FakeApiStore api;
    api.Answer([](const std::string&, const std::string&) { return Success(Entry("a.com", "5")); });
    ServiceSettings settings = KeyedSettings(api, "");
    settings.aizhanBatchWindow = std::chrono::milliseconds(0);
    auto service = LookupService::Start(settings, "127.0.0.1", 0);
    for (const char* kind : {"baidupr", "sogoupr", "pr"}) {
        EXPECT_EQ(Ask(*service, kind, "a.com"), kNotConfigured) << kind;
    }
    EXPECT_EQ(api.web.RequestCount(), 0u);
    // A key set while the service runs takes effect at once: "未配置" was not cached.
    settings.aizhanKey = "secret";
    service->Reconfigure(settings);
    EXPECT_EQ(Ask(*service, "baidupr", "a.com"), "5");
    EXPECT_EQ(Ask(*service, "pr", "a.com"), kNotConfigured);
}

TEST(KeyedFigureTest, KeysGoOnlyToHttpsOrLoopback) {
    const std::pair<const char*, bool> cases[] = {
        {"https://apistore.aizhan.com", true}, {"http://127.0.0.1:8080/x", true},
        {"http://localhost/x", true},          {"http://[::1]:81", true},
        {"http://apistore.aizhan.com", false}, {"http://127.0.0.1.evil.com/", false},
        {"ftp://127.0.0.1/", false},           {"", false},
    };
    for (const auto& [url, safe] : cases) EXPECT_EQ(KeySafeUrl(url), safe) << url;

    ServiceSettings settings = LoopbackSettings();
    settings.aizhanKey = "secret";
    settings.aizhanUrl = "http://apistore.example";
    settings.openPageRankKey = "secret";
    settings.openPageRankUrl = "http://openpagerank.example/api";
    auto service = LookupService::Start(settings, "127.0.0.1", 0);
    EXPECT_EQ(Ask(*service, "baidupr", "a.com"), "-1");
    EXPECT_EQ(Ask(*service, "pr", "a.com"), "-1");
}

TEST(ServiceSettingsTest, EnvironmentWinsOverStoredValues) {
    const StoredSettings stored = {{"ZARKEL_LOOKUP_OPR_KEY", "stored-opr"},
                                   {"ZARKEL_LOOKUP_AIZHAN_KEY", "stored-aizhan"},
                                   {"ZARKEL_LOOKUP_ENGINE_INTERVAL_MS", "900"},
                                   {"ZARKEL_LOOKUP_RANK_LIST", "/stored/list.csv"}};
    ::setenv("ZARKEL_LOOKUP_AIZHAN_KEY", "from-env", 1);
    ::unsetenv("ZARKEL_LOOKUP_OPR_KEY");
    ::unsetenv("ZARKEL_LOOKUP_ENGINE_INTERVAL_MS");
    ::unsetenv("ZARKEL_LOOKUP_RANK_LIST");
    const ServiceSettings settings = ServiceSettingsFromEnvironmentAnd(stored);
    ::unsetenv("ZARKEL_LOOKUP_AIZHAN_KEY");
    EXPECT_EQ(settings.aizhanKey, "from-env");
    EXPECT_EQ(settings.openPageRankKey, "stored-opr");
    EXPECT_EQ(settings.engineInterval, std::chrono::milliseconds(900));
    EXPECT_EQ(settings.rankListPath, "/stored/list.csv");

    const ServiceSettings cached = ServiceSettingsFrom([](const char* name) -> const char* {
        return std::string_view(name) == "HOME" ? "/home/u" : nullptr;
    });
    EXPECT_EQ(cached.rankCacheDirectory, "/home/u/.cache/zarkel");
}

}  // namespace
