// The title and outbound-link figures, read from fake sites on loopback.
#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>

#include "platform/encoding.h"
#include "service/service_fixture.h"
#include "service/utf8.h"

namespace {

class SitePageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_service = LookupService::Start(LoopbackSettings(), "127.0.0.1", 0);
        ASSERT_NE(m_service, nullptr);
    }

    // Serves `body` at "/" with `contentType` on a new fake site; returns its address.
    std::string Site(const std::string& body, const std::string& contentType) {
        auto& site = *m_sites.emplace_back(std::make_unique<FakeWeb>());
        site.server().Get(
            "/", [body, contentType](const httplib::Request&, httplib::Response& response) {
                response.set_content(body, contentType);
            });
        site.Start();
        return site.HostPort();
    }

    std::vector<std::unique_ptr<FakeWeb>> m_sites;
    std::unique_ptr<LookupService> m_service;
};

std::string Gbk(const std::string& utf8) {
    return *Utf8ToGb18030(utf8);
}

TEST_F(SitePageTest, TitleInEveryCharsetComesBackAsUtf8) {
    const std::string news = U8(u8"新浪网 – 新闻中心");
    struct Case {
        const char* what;
        std::string body;
        std::string contentType;
    };
    const Case cases[] = {
        {"GBK named by the header", Gbk("<title>" + news + "</title>"), "text/html; charset=GBK"},
        {"GB2312 named by a meta tag",
         Gbk("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">"
             "<title>" +
             news + "</title>"),
         "text/html"},
        {"GB18030 named by meta charset",
         Gbk("<meta charset='gb18030'><title>" + news + "</title>"), "text/html"},
        {"UTF-8 marked by a BOM", "\xEF\xBB\xBF<title>" + news + "</title>", "text/html"},
        {"UTF-8 named by the header", "<title>" + news + "</title>", "text/html; charset=utf-8"},
        {"undeclared GBK", Gbk("<title>" + news + "</title>"), "text/html"},
        {"header wins over meta", Gbk("<meta charset=utf-8><title>" + news + "</title>"),
         "text/html; charset=gbk"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Ask(*m_service, "title", Site(c.body, c.contentType)), news) << c.what;
    }
}

TEST_F(SitePageTest, TitleIsTheFirstWithEntitiesDecodedAndBlanksCollapsed) {
    struct Case {
        std::string body;
        std::string title;
    };
    const Case cases[] = {
        {"<TITLE>\n   Tom &amp; Jerry&nbsp;&#8211; &#x4E2D;&quot;1&quot;\t</TITLE>",
         U8(u8"Tom & Jerry\u00A0– 中\"1\"")},
        {"<!-- <title>old</title> --><title lang=en>New</title><title>Second</title>", "New"},
        {"<script>var t = '<title>fake</title>';</script><title>Real</title>", "Real"},
        {U8(u8"<title>\u3000全角\u3000空格 \r\n\f</title>"), U8(u8"\u3000全角\u3000空格")},
        {"<title>a\x01\x7F\x0B b</title>", "a b"},
        {"<title>a &unknown; &#0; b</title>", U8(u8"a &unknown; \uFFFD b")},
        // past U+10FFFF, a surrogate and a 5-byte form: replaced as a browser decodes them
        {"<title>a\xF4\x90\x80\x80"
         "b\xED\xA0\x80"
         "c\xF8\x88\x80\x80\x80"
         "d\xF0\x9F\x98</title>",
         U8(u8"a\uFFFD\uFFFD\uFFFD\uFFFDb\uFFFD\uFFFD\uFFFDc\uFFFD\uFFFD\uFFFD\uFFFD\uFFFDd"
            u8"\uFFFD")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Ask(*m_service, "title", Site(c.body, "text/html; charset=utf-8")), c.title)
            << c.body;
    }
}

TEST_F(SitePageTest, PagesWithoutUsableTitleAnswerMinusOne) {
    EXPECT_EQ(Ask(*m_service, "title", Site("<p>no title here</p>", "text/html")), "-1");
    EXPECT_EQ(Ask(*m_service, "title", Site("<title>  </title>", "text/html")), "-1");
    FakeWeb missing;
    missing.server().Get("/", [](const httplib::Request&, httplib::Response& response) {
        response.status = 404;
        response.set_content("<title>404 Not Found</title>", "text/html");
    });
    missing.Start();
    EXPECT_EQ(Ask(*m_service, "title", missing.HostPort()), "-1");
    // Nothing listens on port 9 of loopback.
    EXPECT_EQ(Ask(*m_service, "title", "127.0.0.1:9"), "-1");
    EXPECT_EQ(Ask(*m_service, "daochu", "127.0.0.1:9"), "-1");
}

TEST_F(SitePageTest, FollowsAtMostFiveRedirects) {
    FakeWeb site;
    site.server().Get(R"(/hop/(\d+))",
                      [](const httplib::Request& request, httplib::Response& response) {
                          const int left = std::stoi(request.matches[1]);
                          if (left == 0) {
                              response.set_content("<title>Arrived</title>", "text/html");
                          } else {
                              response.set_redirect("/hop/" + std::to_string(left - 1));
                          }
                      });
    site.server().Get("/", [](const httplib::Request& request, httplib::Response& response) {
        const std::string host = request.get_header_value("Host");
        response.set_redirect(host.rfind("localhost", 0) == 0 ? "/hop/4" : "/hop/5");
    });
    site.Start();
    // "/" plus four hops: five redirects.
    EXPECT_EQ(Ask(*m_service, "title", "localhost:" + std::to_string(site.port())), "Arrived");
    // "/" plus five hops: six.
    EXPECT_EQ(Ask(*m_service, "title", site.HostPort()), "-1");
}

TEST_F(SitePageTest, PageOverTheCapIsNotReadFurther) {
    // Declared before the site, so they outlive its serving threads.
    std::atomic<bool> cutOff = false;
    const std::string chunk(64 * 1024, 'x');
    FakeWeb site;
    // An endless page without a length: only the service's cap ends it.
    site.server().Get("/", [&](const httplib::Request&, httplib::Response& response) {
        response.set_chunked_content_provider(
            "text/html", [&, sent = std::size_t{0}](std::size_t, httplib::DataSink& sink) mutable {
                if (sent >= 64u * 1024 * 1024) {
                    sink.done();
                    return true;
                }
                const std::string piece = sent == 0 ? "<title>Huge</title>" + chunk : chunk;
                if (!sink.write(piece.data(), piece.size())) {
                    cutOff = true;
                    return false;
                }
                sent += piece.size();
                return true;
            });
    });
    // A page that announces its size over the cap.
    site.server().Get("/big", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("<title>Big</title>" + std::string(3 * 1024 * 1024, ' '), "text/html");
    });
    site.server().Get("/near", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(std::string(2 * 1024 * 1024 - 100, ' ') + "<title>Near</title>",
                             "text/html");
    });
    site.Start();
    EXPECT_EQ(Ask(*m_service, "title", site.HostPort()), "-1");
    EXPECT_EQ(Ask(*m_service, "daochu", site.HostPort()), "-1");
    EXPECT_TRUE(WaitUntil([&] { return cutOff.load(); }));

    FakeWeb redirecting;
    redirecting.server().Get("/", [&site](const httplib::Request&, httplib::Response& response) {
        response.set_redirect(site.Url("/big"));
    });
    redirecting.Start();
    EXPECT_EQ(Ask(*m_service, "title", redirecting.HostPort()), "-1");

    FakeWeb near;
    near.server().Get("/", [&site](const httplib::Request&, httplib::Response& response) {
        response.set_redirect(site.Url("/near"));
    });
    near.Start();
    EXPECT_EQ(Ask(*m_service, "title", near.HostPort()), "Near");
}

TEST_F(SitePageTest, CountsDistinctLinkTargetsOnOtherHosts) {
    const std::string page = R"html(<title>Links</title>
        <a href="/about">relative</a>
        <a href="http://127.0.0.1/self">own host</a>
        <a href="http://www.127.0.0.1/self">own host behind www.</a>
        <a href="https://Example.com/a">1</a>
        <a href="http://example.com/a#top">same target as 1</a>
        <a href="//example.com/b?x=1&amp;y=2">2</a>
        <a href="http://www.example.com/a">3: www. is another host than example.com</a>
        <a href="http://blog.example.org">4</a>
        <area href="http://map.example.net/" alt="5">
        <a href="mailto:me@example.com">mail</a>
        <a href="javascript:void(0)">script</a>
        <!-- <a href="http://hidden.example.com/">commented out</a> -->
        <a name="anchor">no href</a>
        <link href="http://cdn.example.com/style.css" rel="stylesheet">)html";
    EXPECT_EQ(Ask(*m_service, "daochu", Site(page, "text/html")), "5");
    EXPECT_EQ(Ask(*m_service, "daochu", Site("<title>none</title>", "text/html")), "0");
}

TEST_F(SitePageTest, RedirectTargetCountsAsTheSitesOwnHost) {
    FakeWeb landing;
    landing.server().Get("/", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(
            "<a href='http://localhost/in'>own</a><a href='http://other.example/'>out</a>",
            "text/html");
    });
    landing.Start();
    FakeWeb entry;
    entry.server().Get("/", [&landing](const httplib::Request&, httplib::Response& response) {
        response.set_redirect("http://localhost:" + std::to_string(landing.port()) + "/");
    });
    entry.Start();
    EXPECT_EQ(Ask(*m_service, "daochu", entry.HostPort()), "1");
}

}  // namespace
