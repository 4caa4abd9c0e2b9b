#include "platform/http_fetch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <future>

#include "support/loopback_server.h"

namespace {

using namespace std::chrono_literals;

// The machine's proxy settings must not divert requests meant for the loopback server.
class HttpGetTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"http_proxy", "all_proxy", "ALL_PROXY", "no_proxy", "NO_PROXY"}) {
            unsetenv(name);
        }
    }
};

std::string RequestLine(const std::string& head) {
    return head.substr(0, head.find("\r\n"));
}

std::string Url(const LoopbackServer& server, std::string_view object) {
    return "http://" + server.host() + std::string(object);
}

TEST_F(HttpGetTest, SendsAPlainHttp10GetWithTheFixedHeaders) {
    LoopbackServer server(LoopbackServer::Reply(LoopbackServer::HttpReply("7")));
    EXPECT_EQ(HttpGet(Url(server, "/get.php?pr&example.com&27593")), "7");
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0], server.ExpectedRequestHead("/get.php?pr&example.com&27593"));
}

TEST_F(HttpGetTest, UnsafeBytesOfTheTargetArePercentEncoded) {
    struct Case {
        std::string object;
        std::string onTheWire;
    };
    const Case cases[] = {
        {"/get.php?ip&a b&30472", "/get.php?ip&a%20b&30472"},
        {"/get.php?ip&a\nb&30472", "/get.php?ip&a%0Ab&30472"},
        {"/get.php?ip&a\r\nb&30472", "/get.php?ip&a%0D%0Ab&30472"},
        {"/get.php?ip&\t\x7F&30472", "/get.php?ip&%09%7F&30472"},
        {"/get.php?ip&\xCD\xF8\xD5\xBE.cn&30472", "/get.php?ip&%CD%F8%D5%BE.cn&30472"},
        {"/get.php?ip&\"<>\\^`{|}&30472", "/get.php?ip&%22%3C%3E%5C%5E%60%7B%7C%7D&30472"},
        {"/get.php?ip&a#b&30472", "/get.php?ip&a"},
        {"/get.php?ip&&30472", "/get.php?ip&&30472"},
        // What may stand in a target stays as it is, escapes and dot segments included.
        {"/get.php?ip&%41/../?=~'@:;,!$()*+&30472", "/get.php?ip&%41/../?=~'@:;,!$()*+&30472"},
        {"/a b/../get.php?x", "/a%20b/../get.php?x"},
    };
    LoopbackServer server(LoopbackServer::Reply(LoopbackServer::HttpReply("ok")));
    for (const auto& c : cases) {
        const std::size_t before = server.Requests().size();
        EXPECT_EQ(HttpGet(Url(server, c.object)), "ok") << c.onTheWire;
        ASSERT_EQ(server.Requests().size(), before + 1) << c.onTheWire;
        EXPECT_EQ(RequestLine(server.Requests().back()), "GET " + c.onTheWire + " HTTP/1.0");
    }
}

// Every byte but "#" (which ends the target) and "%" (an escape already) crosses the wire
// as a visible ASCII character and comes back whole after percent-decoding.
TEST_F(HttpGetTest, EveryByteOfAnAddressSurvivesTheWire) {
    std::string address;
    for (int b = 1; b < 256; ++b) {
        if (b != '#' && b != '%') address += static_cast<char>(b);
    }
    LoopbackServer server(LoopbackServer::Reply(LoopbackServer::HttpReply("ok")));
    ASSERT_EQ(HttpGet(Url(server, "/get.php?title&" + address + "&52610")), "ok");
    ASSERT_EQ(server.Requests().size(), 1u);
    const std::string line = RequestLine(server.Requests()[0]);
    const std::string prefix = "GET /get.php?title&";
    const std::string suffix = "&52610 HTTP/1.0";
    ASSERT_EQ(line.rfind(prefix, 0), 0u) << line;
    ASSERT_GT(line.size(), prefix.size() + suffix.size());
    ASSERT_EQ(line.substr(line.size() - suffix.size()), suffix);
    const std::string sent =
        line.substr(prefix.size(), line.size() - prefix.size() - suffix.size());
    std::string decoded;
    for (std::size_t i = 0; i < sent.size(); ++i) {
        const auto c = static_cast<unsigned char>(sent[i]);
        ASSERT_TRUE(c > 0x20 && c < 0x7F &&
                    std::string_view("\"<>\\^`{|}").find(c) == std::string_view::npos)
            << "raw byte " << int(c) << " at " << i;
        if (c == '%') {
            ASSERT_LE(i + 2, sent.size() - 1);
            decoded += static_cast<char>(std::stoi(sent.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            decoded += sent[i];
        }
    }
    EXPECT_EQ(decoded, address);
}

TEST_F(HttpGetTest, EmptyUrlGivesNothing) {
    EXPECT_EQ(HttpGet(""), "");
}

TEST_F(HttpGetTest, StatusIsNotExamined) {
    const std::string page = "<html><body>404 Not Found</body></html>";
    LoopbackServer server(LoopbackServer::Reply(LoopbackServer::HttpReply(page, "404 Not Found")));
    EXPECT_EQ(HttpGet(Url(server, "/get.php?x")), page);
}

TEST_F(HttpGetTest, RedirectsAreFollowedWithinALimit) {
    LoopbackServer server([](LoopbackServer::Connection& c) {
        const bool last = c.request().rfind("GET /hop/5 ", 0) == 0;
        const std::string next = "/hop/" + std::to_string(c.index() + 1);
        c.Send(last ? LoopbackServer::HttpReply("arrived")
                    : "HTTP/1.0 302 Found\r\nLocation: " + next +
                          "\r\nContent-Length: 5\r\n\r\nmoved");
        c.Finish();
    });
    EXPECT_EQ(HttpGet(Url(server, "/hop/0")), "arrived");
    EXPECT_EQ(server.Requests().size(), 6u);

    LoopbackServer loop(LoopbackServer::Reply(
        "HTTP/1.0 302 Found\r\nLocation: /again\r\nContent-Length: 0\r\n\r\n"));
    EXPECT_EQ(HttpGet(Url(loop, "/again")), "");
    EXPECT_EQ(loop.Requests().size(), 11u);  // the first request and ten redirects
}

TEST_F(HttpGetTest, BrokenTransfersKeepWhatArrived) {
    const std::string head = "HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\n";
    LoopbackServer reset(LoopbackServer::ResetAfter(head + "partial"));
    EXPECT_EQ(HttpGet(Url(reset, "/get.php?x")), "partial");

    LoopbackServer stalled([&](LoopbackServer::Connection& c) {
        c.Send(head + "slow");
        c.HoldUntilClosed();
    });
    EXPECT_EQ(HttpGet(Url(stalled, "/get.php?x"), {15s, 300ms}), "slow");
}

TEST_F(HttpGetTest, NoReplyGivesNothing) {
    EXPECT_EQ(HttpGet("http://127.0.0.1:" + std::to_string(LoopbackServer::UnusedPort()) + "/x"),
              "");

    LoopbackServer silent(LoopbackServer::Silent());
    EXPECT_EQ(HttpGet(Url(silent, "/get.php?x"), {15s, 300ms}), "");
    EXPECT_EQ(silent.Requests().size(), 1u);

    LoopbackServer headOnly(LoopbackServer::ResetAfter("HTTP/1.0 200 OK\r\n"));
    EXPECT_EQ(HttpGet(Url(headOnly, "/get.php?x")), "");
}

TEST_F(HttpGetTest, CancelEndsAFetchWithoutWaitingOutItsTimeOuts) {
    LoopbackServer silent(LoopbackServer::Silent());
    std::atomic<bool> cancel = false;
    const FetchLimits limits{15s, 60s, FetchLimits{}.maxBytes, &cancel};
    auto fetch = std::async(std::launch::async, [&] { return HttpGet(Url(silent, "/a"), limits); });
    ASSERT_TRUE(silent.WaitForRequests(1));
    cancel = true;
    // Far below the 60 s the silent server would otherwise hold it.
    ASSERT_EQ(fetch.wait_for(20s), std::future_status::ready);
    EXPECT_EQ(fetch.get(), "");
    // Once cancelled, nothing more is sent.
    EXPECT_EQ(HttpGet(Url(silent, "/b"), limits), "");
    EXPECT_EQ(silent.Requests().size(), 1u);
}

TEST_F(HttpGetTest, RepliesOverTheCapGiveNothing) {
    const std::size_t cap = FetchLimits{}.maxBytes;
    ASSERT_EQ(cap, 4u * 1024 * 1024);
    const std::string full(cap, 'x');
    const std::string over(cap + 1, 'x');
    const std::string closeDelimited = "HTTP/1.0 200 OK\r\n\r\n";

    LoopbackServer atCap(LoopbackServer::Reply(LoopbackServer::HttpReply(full)));
    EXPECT_EQ(HttpGet(Url(atCap, "/x")).size(), cap);
    LoopbackServer announced(LoopbackServer::Reply(LoopbackServer::HttpReply(over)));
    EXPECT_EQ(HttpGet(Url(announced, "/x")), "");
    LoopbackServer unannounced(LoopbackServer::Reply(closeDelimited + over));
    EXPECT_EQ(HttpGet(Url(unannounced, "/x")), "");
    LoopbackServer smallCap(LoopbackServer::Reply(closeDelimited + "12345"));
    EXPECT_EQ(HttpGet(Url(smallCap, "/x"), {15s, 60s, 4}), "");
}

TEST_F(HttpGetTest, ProxyComesFromTheEnvironment) {
    LoopbackServer proxy(LoopbackServer::Reply(LoopbackServer::HttpReply("via proxy")));
    LoopbackServer direct(LoopbackServer::Reply(LoopbackServer::HttpReply("direct")));
    setenv("http_proxy", ("http://" + proxy.host()).c_str(), 1);

    EXPECT_EQ(HttpGet("http://lookup.example/get.php?ip&a b&30472"), "via proxy");
    ASSERT_EQ(proxy.Requests().size(), 1u);
    EXPECT_EQ(RequestLine(proxy.Requests()[0]),
              "GET http://lookup.example/get.php?ip&a%20b&30472 HTTP/1.0");
    EXPECT_EQ(proxy.Requests()[0].find("Proxy-Authorization"), std::string::npos);

    setenv("no_proxy", "127.0.0.1", 1);
    EXPECT_EQ(HttpGet(Url(direct, "/get.php?x")), "direct");
    EXPECT_EQ(proxy.Requests().size(), 1u);
}

}  // namespace
