#include "query/lookup.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <cstdlib>
#include <map>
#include <random>
#include <thread>
#include <vector>

#include "addresses/address_file.h"
#include "common/file_io.h"
#include "platform/encoding.h"
#include "query/query_run.h"
#include "query/run_fakes.h"
#include "support/loopback_server.h"
#include "support/temp_dir.h"

namespace {

using namespace std::chrono_literals;

std::string Utf8(const char8_t* text) {
    return reinterpret_cast<const char*>(text);
}

const Metric& Title() {
    return kMetricCatalogue[6];
}

class LookupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"http_proxy", "all_proxy", "ALL_PROXY"}) unsetenv(name);
    }
};

TEST_F(LookupTest, UrlIsHostPathKindAddressAndTag) {
    EXPECT_EQ(BuildLookupUrl("svc:8080", kMetricCatalogue[0], "www.example.com"),
              "http://svc:8080/get.php?baidupr&www.example.com&61038");
    EXPECT_EQ(BuildLookupUrl("svc", kMetricCatalogue[11], ""),
              "http://svc/get.php?haosousl&&48061");
    EXPECT_EQ(BuildLookupUrl("svc", Title(), " a#b\r\n\xB0"),
              "http://svc/get.php?title& a#b\r\n\xB0&52610");
}

TEST_F(LookupTest, DecodingAndTheFailMark) {
    struct Case {
        const char* name;
        std::string reply;
        Text cell;
    };
    const Case cases[] = {
        {"fail value", "-1", "\xA1\xC1"},
        {"fail value with a line break", "-1\r\n", "-1\r\n"},
        {"fail value with a blank", " -1", " -1"},
        {"a number", "-10", "-10"},
        {"empty", "", ""},
        {"GBK bytes are no UTF-8", "\xCD\xF8\xD5\xBE", ""},
        {"one bad byte spoils the reply", Utf8(u8"网站") + "\xFF", ""},
        {"Chinese title", Utf8(u8"网站标题 - 首页"), "网站标题 - 首页"},
        {"the service's answer words", Utf8(u8"未配置"), "未配置"},
        {"zero byte ends the text", std::string("12\0 34", 6), "12"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CellText(DecodeReply(c.reply)), c.cell) << c.name;
    }
}

// Whatever bytes come back, the cell is empty or exactly the reply's text up to a zero byte.
TEST_F(LookupTest, AnyReplyDecodesWholeOrNotAtAll) {
    std::mt19937 random(65001);
    std::uniform_int_distribution<int> length(1, 16);
    const std::string pieces[] = {"a",        "-1",           std::string(1, '\0'),
                                  "\xC3\xA9", "\xE7\xBD\x91", "\xF0\x9F\x98\x80",
                                  "\x80",     "\xE7\xBD",     "\xFF",
                                  "\r\n"};
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
    for (int i = 0; i < 5000; ++i) {
        std::string reply;
        for (int n = length(random); n > 0; --n) reply += pieces[pick(random)];
        const Text text = DecodeReply(reply);
        if (!text.empty()) {
            ASSERT_EQ(Gb18030ToUtf8(text), reply.substr(0, reply.find('\0'))) << i;
        }
    }
}

// The service's side of every metric: the twelve requests as they arrive on the wire.
TEST_F(LookupTest, EveryMetricSendsItsKindAndTag) {
    LoopbackServer server(LoopbackServer::Reply(LoopbackServer::HttpReply("-1")));
    ServiceLookup lookup(server.host());
    MetricLookup& metrics = lookup;
    for (const Metric& metric : kMetricCatalogue) {
        EXPECT_EQ(metrics.LookupMetric(metric, "www.example.com"), "×") << metric.kind;
    }
    const std::vector<std::string> requests = server.Requests();
    ASSERT_EQ(requests.size(), kMetricCatalogue.size());
    for (std::size_t i = 0; i < requests.size(); ++i) {
        const Metric& metric = kMetricCatalogue[i];
        EXPECT_EQ(requests[i],
                  server.ExpectedRequestHead("/get.php?" + std::string(metric.kind) +
                                             "&www.example.com&" + std::string(metric.tag)));
    }
}

TEST_F(LookupTest, AddressesNeverReachTheWireRaw) {
    struct Case {
        Text address;
        std::string requestLine;
    };
    const Case cases[] = {
        {"www.example.com#top", "GET /get.php?title&www.example.com HTTP/1.0"},
        {"", "GET /get.php?title&&52610 HTTP/1.0"},
        {"a b", "GET /get.php?title&a%20b&52610 HTTP/1.0"},
        {"a\nb", "GET /get.php?title&a%0Ab&52610 HTTP/1.0"},
        {"a\r\n\r\nGET / HTTP/1.0",
         "GET /get.php?title&a%0D%0A%0D%0AGET%20/%20HTTP/1.0&52610 HTTP/1.0"},
        {"网站.cn", "GET /get.php?title&%CD%F8%D5%BE.cn&52610 HTTP/1.0"},
    };
    LoopbackServer server(LoopbackServer::Reply(LoopbackServer::HttpReply("1")));
    ServiceLookup lookup(server.host());
    for (const auto& c : cases) {
        EXPECT_EQ(lookup.LookupMetric(Title(), c.address), "1") << c.requestLine;
        const std::string head = server.Requests().back();
        EXPECT_EQ(head.substr(0, head.find("\r\n")), c.requestLine);
    }
    EXPECT_EQ(server.Requests().size(), std::size(cases));
}

// A real HTTP server that answers each address with a scripted reply.
class ScriptedService final {
  public:
    struct Answer {
        int status;
        std::string body;
        std::string location;
    };

    explicit ScriptedService(std::map<std::string, Answer> answers)
        : m_answers(std::move(answers)) {
        m_server.Get(
            "/get.php", [this](const httplib::Request& request, httplib::Response& response) {
                const std::string query = request.target.substr(request.target.find('?') + 1);
                const std::size_t from = query.find('&') + 1;
                const auto found = m_answers.find(query.substr(from, query.rfind('&') - from));
                if (found == m_answers.end()) {
                    response.status = 500;
                    return;
                }
                response.status = found->second.status;
                if (!found->second.location.empty()) {
                    response.set_header("Location", found->second.location);
                }
                response.set_content(found->second.body, "text/html; charset=utf-8");
            });
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
    }
    ~ScriptedService() {
        m_server.stop();
        m_thread.join();
    }

    std::string host() const { return "127.0.0.1:" + std::to_string(m_port); }

  private:
    std::map<std::string, Answer> m_answers;
    httplib::Server m_server;
    int m_port = 0;
    std::thread m_thread;
};

TEST_F(LookupTest, RepliesOfARealServerBecomeCells) {
    const std::string page = "<html><body><h1>404 Not Found</h1></body></html>\r\n";
    ScriptedService service({
        {"failed", {200, "-1", ""}},
        {"failed-line", {200, "-1\r\n", ""}},
        {"empty", {200, "", ""}},
        {"gbk", {200, "\xCD\xF8\xD5\xBE", ""}},
        {"title", {200, Utf8(u8"网站标题"), ""}},
        {"zero",
         {200,
          std::string("7\0"
                      "8",
                      3),
          ""}},
        {"missing", {404, page, ""}},
        {"moved", {302, "moved", "/get.php?title&title&52610"}},
    });
    const std::pair<Text, Text> cells[] = {
        {"failed", "×"},   {"failed-line", "-1\r\n"}, {"empty", ""},
        {"gbk", ""},       {"title", "网站标题"},     {"zero", "7"},
        {"missing", page}, {"moved", "网站标题"},
    };
    ServiceLookup lookup(service.host());
    for (const auto& [address, cell] : cells) {
        EXPECT_EQ(lookup.LookupMetric(Title(), address), cell) << address;
    }
}

TEST_F(LookupTest, NoUsableReplyLeavesTheCellEmpty) {
    const FetchLimits quick{1s, 300ms};
    ServiceLookup refused("127.0.0.1:" + std::to_string(LoopbackServer::UnusedPort()), quick);
    EXPECT_EQ(refused.LookupMetric(Title(), "a"), "");

    LoopbackServer silent(LoopbackServer::Silent());
    EXPECT_EQ(ServiceLookup(silent.host(), quick).LookupMetric(Title(), "a"), "");

    LoopbackServer reset(LoopbackServer::ResetAfter(
        "HTTP/1.0 200 OK\r\nContent-Length: 50\r\n\r\n" + Utf8(u8"标题")));
    EXPECT_EQ(ServiceLookup(reset.host()).LookupMetric(Title(), "a"), "标题");

    LoopbackServer huge(LoopbackServer::Reply(
        LoopbackServer::HttpReply(std::string(FetchLimits{}.maxBytes + 1, '1'))));
    EXPECT_EQ(ServiceLookup(huge.host()).LookupMetric(Title(), "a"), "");

    EXPECT_EQ(ServiceLookup("").LookupMetric(Title(), "a"), "");
}

// The plan names the ticked kinds in catalogue order and every address as its lookups carry
// it on the wire; an address with "#" never reaches a figure and is left out.
TEST_F(LookupTest, PlanBodyHoldsTheKindsAndTheAddressesAsTheirLookupsSendThem) {
    std::array<bool, 13> ticks{};
    for (const int column : {12, 4, 7}) ticks[static_cast<std::size_t>(column)] = true;
    const std::vector<Text> addresses = {"a.com", "\xCD\xF8 b\r\n", "x.com#tag", "100%",
                                         "",      "a&b<c"};
    EXPECT_EQ(RunPlanBody("c1", ticks, addresses),
              "zarkel-plan 1\nclient c1\nkinds ip title haosousl\n\n"
              "a.com\n%CD%F8%20b%0D%0A\n100%\n\na&b%3Cc\n");
}

// A service that does not know plans answers 404: the run is told nothing more and goes on
// exactly as before, one GET per ticked figure per host in order.
TEST_F(LookupTest, ARunAgainstAServiceWithoutPlansIsUnchanged) {
    std::mutex mutex;
    std::vector<std::string> seen;
    httplib::Server server;
    server.set_pre_routing_handler([&](const httplib::Request& request, httplib::Response&) {
        std::lock_guard lock(mutex);
        seen.push_back(request.method + " " + request.target);
        return httplib::Server::HandlerResponse::Unhandled;
    });
    server.Get("/get.php", [](const httplib::Request& request, httplib::Response& response) {
        const std::string query = request.target.substr(request.target.find('?') + 1);
        response.set_content(query.substr(0, query.rfind('&')), "text/plain");
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    std::thread thread([&] { server.listen_after_bind(); });

    TempDir dir;
    AddressFile file(dir.path());
    ASSERT_TRUE(WriteWholeFile(file.Path(), "a.com\r\nb.com"));
    FakeRunWindow window;
    window.Put(RunWindow::Control::CountLabel, "2");
    window.Tick({4, 7});
    ServiceLookup lookup("127.0.0.1:" + std::to_string(port));
    QueryRun(window, file, lookup, [] {}).Run();
    server.stop();
    thread.join();

    using Row = FakeRunWindow::Row;
    Row a{"a.com"};
    a[4] = "ip&a.com";
    a[7] = "title&a.com";
    Row b{"b.com"};
    b[4] = "ip&b.com";
    b[7] = "title&b.com";
    EXPECT_EQ(window.Rows(), (std::vector<Row>{a, b}));
    EXPECT_EQ(seen,
              (std::vector<std::string>{
                  "POST /plan", "GET /get.php?ip&a.com&30472", "GET /get.php?title&a.com&52610",
                  "GET /get.php?ip&b.com&30472", "GET /get.php?title&b.com&52610"}));
}

// Hosts handed out in turn, with the hosts that were reported as giving nothing.
class ScriptedHosts final : public ServiceHosts {
  public:
    explicit ScriptedHosts(std::vector<Text> hosts) : m_hosts(std::move(hosts)) {}
    Text CurrentHost() override { return m_hosts.at(m_next++); }
    void NoReplyFrom(const Text& host) override { silent.push_back(host); }
    std::vector<Text> silent;

  private:
    std::vector<Text> m_hosts;
    std::size_t m_next = 0;
};

// The host is asked for each lookup; only a lookup that got nothing at all is reported, so a
// service run by the program is checked then and not after every "-1".
TEST_F(LookupTest, EachLookupAsksForTheHostAndReportsOneThatGaveNothing) {
    LoopbackServer failing(LoopbackServer::Reply(LoopbackServer::HttpReply("-1")));
    LoopbackServer titled(LoopbackServer::Reply(LoopbackServer::HttpReply(Utf8(u8"标题"))));
    LoopbackServer broken(LoopbackServer::ResetAfter(""));
    ScriptedHosts hosts({failing.host(), titled.host(), "", broken.host()});
    ServiceLookup lookup(hosts);
    EXPECT_EQ(lookup.LookupMetric(Title(), "a"), "×");
    EXPECT_EQ(lookup.LookupMetric(Title(), "a"), "标题");
    EXPECT_EQ(lookup.LookupMetric(Title(), "a"), "");  // no host: nothing is sent
    EXPECT_EQ(lookup.LookupMetric(Title(), "a"), "");
    EXPECT_EQ(hosts.silent, std::vector<Text>{broken.host()});
    EXPECT_EQ(failing.Requests().size() + titled.Requests().size(), 2u);
}

}  // namespace
