#include "service/lookup_service.h"

#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <condition_variable>
#include <future>
#include <map>
#include <mutex>

#include "service/service_fixture.h"
#include "service/utf8.h"

namespace {

class LookupServiceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_site.server().Get("/", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("<html><head><title>Loopback site</title></head></html>",
                                 "text/html");
        });
        m_site.Start();
        m_service = LookupService::Start(LoopbackSettings(), "127.0.0.1", 0);
        ASSERT_NE(m_service, nullptr);
    }

    FakeWeb m_site;
    std::unique_ptr<LookupService> m_service;
};

// What the program does without a configured host: the service with the settings of the
// environment, on an ephemeral loopback port, gives the ip and the title of a loopback site.
TEST(EmbeddedServiceTest, GivesIpAndTitleOfLoopbackSite) {
    FakeWeb site;
    site.server().Get("/", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(U8(u8"<title>首页 &amp; 新闻</title>"), "text/html; charset=utf-8");
    });
    site.Start();
    auto service = LookupService::Start(ServiceSettingsFromEnvironment(), "127.0.0.1", 0);
    ASSERT_NE(service, nullptr);
    EXPECT_GT(service->Port(), 0);
    EXPECT_EQ(Ask(*service, "ip", "localhost"), "127.0.0.1");
    EXPECT_EQ(Ask(*service, "title", site.HostPort()), U8(u8"首页 & 新闻"));
}

TEST_F(LookupServiceTest, AnswersHttp10AndHttp11) {
    const std::string target = "/get.php?title&" + m_site.HostPort() + "&" + TagOf("title");
    EXPECT_EQ(GetHttp10(m_service->Port(), target), "Loopback site");

    httplib::Client client("127.0.0.1", m_service->Port());
    const auto reply = client.Get(target);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, 200);
    EXPECT_EQ(reply->body, "Loopback site");
    EXPECT_EQ(reply->get_header_value("Content-Type"), "text/plain; charset=utf-8");
}

// 64 clients that send their request a byte at a time hold none of the workers.
TEST_F(LookupServiceTest, SlowClientsDoNotStallOthers) {
    std::vector<int> slow;
    for (int i = 0; i < 64; ++i) {
        slow.push_back(socket(AF_INET, SOCK_STREAM, 0));
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(m_service->Port()));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ASSERT_EQ(connect(slow.back(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ASSERT_EQ(send(slow.back(), "G", 1, MSG_NOSIGNAL), 1);
    }
    const std::string target = "/get.php?title&" + m_site.HostPort() + "&" + TagOf("title");
    for (int i = 0; i < 8; ++i) EXPECT_EQ(GetHttp10(m_service->Port(), target), "Loopback site");
    for (const int fd : slow) close(fd);
}

TEST_F(LookupServiceTest, RequestsThatNameNoFigureAnswerMinusOne) {
    const std::string site = m_site.HostPort();
    const std::string cases[] = {
        "/get.php?nosuchkind&" + site + "&52610",    // unknown kind
        "/get.php?title&" + site + "&61038",         // another kind's tag
        "/get.php?title&" + site + "&",              // no tag (an address cut at '#')
        "/get.php?title&" + site,                    // one '&' only
        "/get.php?title",                            // nothing but the kind
        "/get.php?title&&52610",                     // empty address
        "/get.php?title&exa%20mple.com&52610",       // not a host name
        "/get.php?title&user%40" + site + "&52610",  // user information
    };
    for (const std::string& target : cases) {
        EXPECT_EQ(GetHttp10(m_service->Port(), target), "-1") << target;
    }
    EXPECT_EQ(m_site.RequestCount(), 0u);
}

TEST_F(LookupServiceTest, AddressIsPercentDecodedAndReadLeniently) {
    const std::string port = std::to_string(m_site.port());
    const std::string cases[] = {
        "127.0.0.1%3A" + port,                       // encoded colon
        "%20127.0.0.1:" + port + "%0D%0A",           // blanks and a line end around it
        "http://127.0.0.1:" + port + "/index.html",  // a scheme and a path
    };
    for (const std::string& address : cases) {
        EXPECT_EQ(GetHttp10(m_service->Port(), "/get.php?title&" + address + "&52610"),
                  "Loopback site")
            << address;
    }
}

TEST(PrivateTargetGuardTest, FollowsTheBindAddressUnlessTold) {
    ServiceSettings settings;
    struct Case {
        ServiceSettings::PrivateTargets setting;
        std::string bind;
        bool refuses;
    };
    const Case cases[] = {
        {ServiceSettings::PrivateTargets::kByBindAddress, "127.0.0.1", false},
        {ServiceSettings::PrivateTargets::kByBindAddress, "localhost", false},
        {ServiceSettings::PrivateTargets::kByBindAddress, "::1", false},
        {ServiceSettings::PrivateTargets::kByBindAddress, "0.0.0.0", true},
        {ServiceSettings::PrivateTargets::kByBindAddress, "192.168.1.5", true},
        {ServiceSettings::PrivateTargets::kByBindAddress, "::", true},
        {ServiceSettings::PrivateTargets::kAllow, "0.0.0.0", false},
        {ServiceSettings::PrivateTargets::kRefuse, "127.0.0.1", true},
    };
    for (const Case& c : cases) {
        settings.privateTargets = c.setting;
        EXPECT_EQ(RefusesPrivateTargets(settings, c.bind), c.refuses) << c.bind;
    }
}

TEST(PrivateTargetGuardTest, RefusedServiceNeverContactsPrivateSites) {
    FakeWeb site;
    site.server().Get("/", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("<title>Internal</title><a href='http://x.org/'>x</a>", "text/html");
    });
    site.Start();
    ServiceSettings settings = LoopbackSettings();
    settings.privateTargets = ServiceSettings::PrivateTargets::kRefuse;
    auto service = LookupService::Start(settings, "127.0.0.1", 0);
    ASSERT_NE(service, nullptr);
    EXPECT_EQ(Ask(*service, "title", site.HostPort()), "-1");
    EXPECT_EQ(Ask(*service, "daochu", "localhost:" + std::to_string(site.port())), "-1");
    EXPECT_EQ(Ask(*service, "ip", "localhost"), "-1");
    EXPECT_EQ(site.RequestCount(), 0u);
}

TEST(ServiceSettingsTest, ReadsTheEnvironmentVariables) {
    std::map<std::string, std::string> env = {
        {"ZARKEL_LOOKUP_BAIDU_URL", "http://127.0.0.1:1/b?wd="},
        {"ZARKEL_LOOKUP_WHOIS_SERVER", "127.0.0.1:4343"},
        {"ZARKEL_LOOKUP_ENGINE_INTERVAL_MS", "150"},
        {"ZARKEL_LOOKUP_ENGINE_BACKOFF_S", "bogus"},
        {"ZARKEL_LOOKUP_RANK_LIST", "/tmp/top.csv"},
        {"ZARKEL_LOOKUP_PRIVATE_TARGETS", "allow"},
        {"ZARKEL_LOOKUP_CACHE_S", "0"},
        {"ZARKEL_LOOKUP_RDAP_BOOTSTRAP", "http://127.0.0.1:2/dns.json"},
        {"ZARKEL_LOOKUP_RDAP_TIMEOUT_S", "3"},
        {"XDG_CACHE_HOME", "/tmp/cache"},
        {"HOME", "/home/me"},
    };
    const ServiceSettings s = ServiceSettingsFrom([&env](const char* name) -> const char* {
        const auto found = env.find(name);
        return found == env.end() ? nullptr : found->second.c_str();
    });
    EXPECT_EQ(s.baiduUrl, "http://127.0.0.1:1/b?wd=");
    EXPECT_EQ(s.sogouUrl, ServiceSettings{}.sogouUrl);
    EXPECT_EQ(s.whoisServer, "127.0.0.1");
    EXPECT_EQ(s.whoisPort, 4343);
    EXPECT_EQ(s.engineInterval, std::chrono::milliseconds(150));
    EXPECT_EQ(s.engineBackoff, ServiceSettings{}.engineBackoff);  // unreadable: default kept
    EXPECT_EQ(s.rankListPath, "/tmp/top.csv");
    EXPECT_EQ(s.privateTargets, ServiceSettings::PrivateTargets::kAllow);
    EXPECT_EQ(s.cacheLifetime, std::chrono::seconds(0));
    EXPECT_EQ(s.rdapBootstrapUrl, "http://127.0.0.1:2/dns.json");
    EXPECT_EQ(s.rdapTimeout, std::chrono::seconds(3));
    EXPECT_EQ(s.cacheFolder, "/tmp/cache/zarkel");
    env.erase("XDG_CACHE_HOME");
    EXPECT_EQ(ServiceSettingsFrom([&env](const char* name) -> const char* {
                  const auto found = env.find(name);
                  return found == env.end() ? nullptr : found->second.c_str();
              }).cacheFolder,
              "/home/me/.cache/zarkel");
}

TEST(LookupServiceStartTest, BusyPortGivesNullAndStopIsIdempotent) {
    auto first = LookupService::Start(LoopbackSettings(), "127.0.0.1", 0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(LookupService::Start(LoopbackSettings(), "127.0.0.1", first->Port()), nullptr);
    first->Stop();
    first->Stop();
    EXPECT_EQ(GetHttp10(first->Port(), "/get.php?ip&localhost&30472"), "<no reply>");
}

}  // namespace

namespace {

// Closing the program stops the embedded service: a lookup still waiting on a silent site
// must not hold it for the whole fetch time-out.
TEST(LookupServiceStopTest, StopCutsShortLookupsInProgress) {
    std::mutex mutex;
    std::condition_variable changed;
    bool released = false;
    FakeWeb silent;
    silent.server().Get("/", [&](const httplib::Request&, httplib::Response& response) {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return released; });
        response.set_content("<title>Too late</title>", "text/html");
    });
    silent.Start();
    ServiceSettings settings = LoopbackSettings();
    settings.fetchTimeout = std::chrono::milliseconds(120000);
    auto service = LookupService::Start(settings, "127.0.0.1", 0);
    ASSERT_NE(service, nullptr);
    auto answer =
        std::async(std::launch::async, [&] { return Ask(*service, "title", silent.HostPort()); });
    ASSERT_TRUE(WaitUntil([&] { return silent.RequestCount() == 1; }));

    service->Stop();
    {
        std::lock_guard lock(mutex);
        EXPECT_FALSE(released);  // Stop did not wait for the site
        released = true;
    }
    changed.notify_all();
    const std::string got = answer.get();
    EXPECT_TRUE(got == "-1" || got == "<no reply>") << got;
}

}  // namespace
