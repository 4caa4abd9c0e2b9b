// The indexed-page counts from fake search-engine pages on loopback.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <future>
#include <map>

#include "service/service_fixture.h"
#include "service/utf8.h"

namespace {

using namespace std::chrono_literals;

// Pages by the host of the "site:" query.
const std::map<std::string, std::string> kPages = {
    {"comma.com", U8(u8"<div class=nums>百度为您找到相关结果约1,234,000个</div>")},
    {"shu.com", U8(u8"<span>找到相关结果数约12,300个</span>")},
    {"box.com", U8(u8"<p>该网站共有 <b style='color:#333'>1,234</b> 个网页被百度收录</p>")},
    {"sogou.com", U8(u8"<p class=num-tips>搜狗已为您找到约12,345条相关结果</p>")},
    {"wan.com", U8(u8"<p>找到约1.2万条结果</p>")},
    {"so.com", U8(u8"<span class=nums>找到相关结果约1,234个</span>")},
    {"yi.com", U8(u8"<span>找到相关结果约2.5亿个</span>")},
    {"huge.com", U8(u8"<span>找到相关结果约999,999,999,999,999,999亿个</span>")},
    {"long.com", U8(u8"<span>找到相关结果约9,223,372,036,854,775,808个</span>")},
    {"none.com", U8(u8"<p>抱歉，没有找到与“<em>site:none.com</em>”相关的网页。</p>")},
    {"odd.com", U8(u8"<p>一个没有计数的页面</p>")},
    {"baidu-captcha.com", U8(u8"<title>百度安全验证</title><p>请完成下方验证后继续操作</p>")},
    {"code.com", U8(u8"<p>请输入验证码以便正常访问：1,234个</p>")},
    {"sogou-captcha.com",
     U8(u8"<p>此验证码用于确认这些请求是您的正常行为而不是自动程序发出的</p>找到约9条结果")},
    {"so-captcha.com", U8(u8"<p>请完成下方验证</p>找到相关结果约7个")},
    {"spider.com", "<script>location.href='/antispider?from=x'</script>"},
};

class EngineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* path : {"/baidu", "/sogou", "/so"}) {
            m_engines.server().Get(
                path, [this](const httplib::Request& request, httplib::Response& response) {
                    Serve(request, response);
                });
        }
        m_engines.Start();
        m_settings = LoopbackSettings();
        m_settings.baiduUrl = m_engines.Url("/baidu?wd=site%3A");
        m_settings.sogouUrl = m_engines.Url("/sogou?query=site%3A");
        m_settings.so360Url = m_engines.Url("/so?q=site%3A");
        m_settings.engineBackoff = 600s;
    }

    void Serve(const httplib::Request& request, httplib::Response& response) {
        std::string site;
        for (const char* name : {"wd", "query", "q"}) {
            if (request.has_param(name)) site = request.get_param_value(name);
        }
        const auto found = kPages.find(site.substr(site.find(':') + 1));
        response.set_content(found == kPages.end() ? "" : found->second,
                             "text/html; charset=utf-8");
    }

    std::unique_ptr<LookupService> Start() {
        return LookupService::Start(m_settings, "127.0.0.1", 0);
    }

    std::size_t RequestsTo(const std::string& path) {
        const auto seen = m_engines.Requests();
        return static_cast<std::size_t>(std::count_if(
            seen.begin(), seen.end(), [&](auto& s) { return s.target.rfind(path + "?", 0) == 0; }));
    }

    FakeWeb m_engines;
    ServiceSettings m_settings;
};

TEST_F(EngineTest, ReadsTheCountPhraseOfEachEngine) {
    auto service = Start();
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"baidu", "comma.com", "1234000"},
        {"baidu", "shu.com", "12300"},
        {"baidu", "box.com", "1234"},
        {"sl1", "comma.com", "1234000"},
        {"sogousl", "sogou.com", "12345"},
        {"sogousl", "wan.com", "12000"},
        {"haosousl", "so.com", "1234"},
        {"haosousl", "yi.com", "250000000"},
        {"baidu", "none.com", "0"},
        {"sogousl", "odd.com", "-1"},
        // past a long long: refused, never a wrapped negative count
        {"baidu", "huge.com", "-1"},
        {"haosousl", "long.com", "-1"},
    };
    for (const auto& [kind, site, count] : cases) {
        EXPECT_EQ(Ask(*service, kind, site), count) << kind << " " << site;
    }
}

TEST_F(EngineTest, DayFilterAsksForTheLastDayOnly) {
    auto service = Start();
    ASSERT_EQ(Ask(*service, "sl1", "comma.com"), "1234000");
    ASSERT_EQ(Ask(*service, "baidu", "comma.com"), "1234000");
    const auto seen = m_engines.Requests();
    ASSERT_EQ(seen.size(), 2u);
    const std::string& day = seen[0].target;
    const std::size_t from = day.find("&gpc=stf%3D");
    ASSERT_NE(from, std::string::npos) << day;
    const std::size_t comma = day.find("%2C", from);
    const long start = std::stol(day.substr(from + 11, comma - from - 11));
    const long end = std::stol(day.substr(comma + 3));
    EXPECT_EQ(end - start, 86400);
    EXPECT_NE(day.find("%7Cstftype%3D1"), std::string::npos);
    EXPECT_EQ(seen[1].target.find("gpc"), std::string::npos);
}

TEST_F(EngineTest, VerificationPageAnswersMinusOneAndBacksThatEngineOff) {
    const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
        {"baidu", "baidu-captcha.com", "/baidu", "sogousl"},
        {"sl1", "code.com", "/baidu", "haosousl"},
        {"sogousl", "sogou-captcha.com", "/sogou", "baidu"},
        {"haosousl", "so-captcha.com", "/so", "sogousl"},
        {"baidu", "spider.com", "/baidu", "haosousl"},
    };
    for (const auto& [kind, site, path, other] : cases) {
        auto service = Start();
        const std::size_t before = RequestsTo(path);
        EXPECT_EQ(Ask(*service, kind, site), "-1") << site;
        // During the back-off nothing more goes to that engine; the others go on.
        EXPECT_EQ(Ask(*service, kind, "comma.com"), "-1") << site;
        EXPECT_EQ(RequestsTo(path), before + 1) << site;
        const std::string otherSite = std::string(other) == "baidu"     ? "comma.com"
                                      : std::string(other) == "sogousl" ? "sogou.com"
                                                                        : "so.com";
        EXPECT_NE(Ask(*service, other, otherSite), "-1") << site;
    }
}

TEST_F(EngineTest, OneRequestPerEngineAtATimeWithTheIntervalBetween) {
    m_settings.engineInterval = 100ms;
    std::atomic<int> inFlight = 0;
    std::atomic<int> mostInFlight = 0;
    std::mutex mutex;
    std::vector<
        std::pair<std::chrono::steady_clock::time_point, std::chrono::steady_clock::time_point>>
        spans;
    FakeWeb slow;
    slow.server().Get("/baidu", [&](const httplib::Request& request, httplib::Response& response) {
        const auto start = std::chrono::steady_clock::now();
        mostInFlight = std::max(mostInFlight.load(), ++inFlight);
        Serve(request, response);
        --inFlight;
        std::lock_guard lock(mutex);
        spans.emplace_back(start, std::chrono::steady_clock::now());
    });
    slow.Start();
    m_settings.baiduUrl = slow.Url("/baidu?wd=site%3A");
    auto service = Start();

    std::vector<std::future<std::string>> answers;
    for (int i = 0; i < 4; ++i) {
        const std::string kind = i % 2 == 0 ? "baidu" : "sl1";
        answers.push_back(std::async(std::launch::async, [&service, kind, i] {
            return Ask(*service, kind, i < 2 ? "comma.com" : "shu.com");
        }));
    }
    for (auto& answer : answers) EXPECT_NE(answer.get(), "-1");

    // Read under the fake engine's lock: its thread wrote them, and the reply that told us
    // crossed a socket, which ThreadSanitizer cannot see as an ordering.
    std::lock_guard lock(mutex);
    ASSERT_EQ(spans.size(), 4u);
    EXPECT_EQ(mostInFlight.load(), 1);
    std::sort(spans.begin(), spans.end());
    for (std::size_t i = 1; i < spans.size(); ++i) {
        EXPECT_GE(spans[i].first - spans[i - 1].second, 100ms) << "gap before request " << i;
    }
}

TEST_F(EngineTest, CountsAreCachedAndFailuresAreNot) {
    auto service = Start();
    EXPECT_EQ(Ask(*service, "haosousl", "so.com"), "1234");
    EXPECT_EQ(Ask(*service, "haosousl", "SO.com"), "1234");
    EXPECT_EQ(RequestsTo("/so"), 1u);
    // The same host through another engine or the day filter is another figure.
    EXPECT_EQ(Ask(*service, "baidu", "comma.com"), "1234000");
    EXPECT_EQ(Ask(*service, "sl1", "comma.com"), "1234000");
    EXPECT_EQ(RequestsTo("/baidu"), 2u);
    EXPECT_EQ(Ask(*service, "sogousl", "odd.com"), "-1");
    EXPECT_EQ(Ask(*service, "sogousl", "odd.com"), "-1");
    EXPECT_EQ(RequestsTo("/sogou"), 2u);
}

}  // namespace
