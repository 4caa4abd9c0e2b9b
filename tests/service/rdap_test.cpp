// The founding date from RDAP (a fake bootstrap and RDAP servers on loopback), WHOIS after it,
// and the readers of RDAP JSON.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "service/rdap_reply.h"
#include "service/service_fixture.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// Domain objects in the shapes of real registries' replies (RFC 9083), each with the date
// form its registry writes: a thin registry (.com, offset without a colon), a thick one
// (.org, no zone), a new gTLD (fractional seconds) and a ccTLD.
const std::string kVerisignCom = R"({
  "objectClassName": "domain", "handle": "2138514_DOMAIN_COM-VRSN", "ldhName": "GOOGLE.COM",
  "links": [{"value": "https://rdap.verisign.com/com/v1/domain/GOOGLE.COM", "rel": "self",
             "href": "https://rdap.verisign.com/com/v1/domain/GOOGLE.COM",
             "type": "application/rdap+json"}],
  "status": ["client delete prohibited", "server transfer prohibited"],
  "entities": [{"objectClassName": "entity", "handle": "292", "roles": ["registrar"],
                "events": [{"eventAction": "registration", "eventDate": "1999-01-01T00:00:00Z"}],
                "vcardArray": ["vcard", [["version", {}, "text", "4.0"],
                               ["fn", {}, "text", "MarkMonitor Inc."]]]}],
  "events": [{"eventAction": "registration", "eventDate": "1997-09-15T07:00:00.000+0000"},
             {"eventAction": "expiration", "eventDate": "2028-09-14T04:00:00Z"},
             {"eventAction": "last update of RDAP database",
              "eventDate": "2024-06-01T12:00:00Z"}],
  "secureDNS": {"delegationSigned": false},
  "rdapConformance": ["rdap_level_0", "icann_rdap_response_profile_0"]
})";
const std::string kPirOrg = R"({"rdapConformance": ["rdap_level_0"], "objectClassName": "domain",
  "lang": "en", "handle": "D153149-LROR", "ldhName": "bitcoin.org", "unicodeName": "bitcoin.org",
  "events": [{"eventAction": "expiration", "eventDate": "2031-08-18T13:19:55"},
             {"eventAction": "Registration", "eventDate": "2008-08-18T13:19:55"}]})";
const std::string kNewGtld = R"({"objectClassName": "domain", "ldhName": "nic.live",
  "events": [{"eventAction": "registration", "eventDate": "2015-04-27T22:04:24.123Z"}]})";
const std::string kCcTld = R"({"objectClassName": "domain", "ldhName": "GOOGLE.PW",
  "events": [{"eventAction": "registration", "eventDate": "2012-10-12T10:19:46.000+0000"}]})";

TEST(RdapReplyTest, ReadsTheRegistrationEvent) {
    using Outcome = RdapRegistration::Outcome;
    struct Case {
        std::string json;
        Outcome outcome;
        const char* date;
    };
    const Case cases[] = {
        {kVerisignCom, Outcome::kDate, "1997-09-15"},
        {kPirOrg, Outcome::kDate, "2008-08-18"},
        {kNewGtld, Outcome::kDate, "2015-04-27"},
        {kCcTld, Outcome::kDate, "2012-10-12"},
        {R"({"events": [{"eventAction": "expiration", "eventDate": "2030-01-01T00:00:00Z"}]})",
         Outcome::kNoEvent, ""},
        {R"({"events": [{"eventAction": "registration", "eventDate": "sometime"}]})",
         Outcome::kNoEvent, ""},
        {R"({"events": [{"eventAction": "registration", "eventDate": "2001-02-30T00:00:00Z"}]})",
         Outcome::kNoEvent, ""},
        {R"({"events": "registration"})", Outcome::kNoEvent, ""},
        // Only the domain's own events count, not those of its entities.
        {R"({"entities": [{"events": [{"eventAction": "registration",
             "eventDate": "1999-01-01T00:00:00Z"}]}], "events": [1, [], {"eventDate": 5}]})",
         Outcome::kNoEvent, ""},
        {R"({"errorCode": 404, "title": "Not Found"})", Outcome::kNoEvent, ""},
        {"<html><title>Service unavailable</title></html>", Outcome::kNotJson, ""},
        {R"({"events": [)", Outcome::kNotJson, ""},
        {"[1, 2]", Outcome::kNotJson, ""},
        {std::string(100000, '[') + std::string(100000, ']'), Outcome::kNotJson, ""},
        {"", Outcome::kNotJson, ""},
    };
    for (const Case& c : cases) {
        const RdapRegistration read = ReadRdapRegistration(c.json);
        EXPECT_EQ(read.outcome, c.outcome) << c.json.substr(0, 80);
        EXPECT_EQ(read.date, c.date) << c.json.substr(0, 80);
    }
}

TEST(RdapReplyTest, ReadsTheBootstrapFileAndFindsTheLongestSuffix) {
    const auto services = ReadRdapBootstrap(R"({"version": "1.0", "services": [
        [["com", "NET"], ["https://rdap.verisign.com/com/v1/", "http://rdap.verisign.com/com/v1/"]],
        [["uk"], ["https://rdap.nominet.uk/uk/"]],
        [["co.uk"], ["https://rdap.example/co.uk/"]],
        [["bad"], []], "junk", [["x"]], [[1], ["https://one/"]]
    ]})");
    ASSERT_TRUE(services.has_value());
    const std::vector<std::string> verisign = {"https://rdap.verisign.com/com/v1/",
                                               "http://rdap.verisign.com/com/v1/"};
    EXPECT_EQ(RdapBaseUrls(*services, "example.com"), verisign);
    EXPECT_EQ(RdapBaseUrls(*services, "EXAMPLE.NET."), verisign);
    EXPECT_EQ(RdapBaseUrls(*services, "example.co.uk"),
              std::vector<std::string>{"https://rdap.example/co.uk/"});
    EXPECT_EQ(RdapBaseUrls(*services, "example.org.uk"),
              std::vector<std::string>{"https://rdap.nominet.uk/uk/"});
    EXPECT_TRUE(RdapBaseUrls(*services, "example.cn").empty());
    EXPECT_TRUE(RdapBaseUrls(*services, "com").empty());
    EXPECT_TRUE(RdapBaseUrls(*services, "example.bad").empty());
    for (const char* broken : {"", "{}", R"({"services": {}})", R"({"services": []})", "nope"}) {
        EXPECT_FALSE(ReadRdapBootstrap(broken).has_value()) << broken;
    }
}

// What the registry's RDAP server (and a registrar it redirects to) answer per domain.
struct RdapReply {
    int status;
    std::string body;
};

const std::map<std::string, RdapReply> kRdapReplies = {
    {"google.com", {200, kVerisignCom}},
    {"bitcoin.org", {200, kPirOrg}},
    {"nic.live", {200, kNewGtld}},
    {"gone.com", {404, R"({"errorCode": 404})"}},
    {"noevent.com", {200, R"({"objectClassName": "domain", "events": []})"}},
    {"notjson.com", {200, "<html>maintenance</html>"}},
    {"busy.com", {429, ""}},
    {"broken.com", {503, ""}},
};

class RdapLookupTest : public ::testing::Test {
  protected:
    RdapLookupTest()
        : m_whois([](const std::string& query) -> std::string {
              if (query.find('.') == std::string::npos) return "refer: 127.0.0.1\n";
              return "Domain Name: " + query + "\r\nCreation Date: 2001-02-03T00:00:00Z\r\n";
          }) {
        m_rdap.server().Get(R"(/rdap/domain/(.+))",
                            [](const httplib::Request& request, httplib::Response& response) {
                                const std::string domain = request.matches[1];
                                if (domain == "moved.com") {
                                    response.set_redirect("/registrar/domain/moved.com");
                                    return;
                                }
                                const auto found = kRdapReplies.find(domain);
                                if (found == kRdapReplies.end()) {
                                    response.status = 404;
                                    return;
                                }
                                response.status = found->second.status;
                                response.set_content(found->second.body, "application/rdap+json");
                            });
        m_rdap.server().Get("/registrar/domain/moved.com",
                            [](const httplib::Request&, httplib::Response& response) {
                                response.set_content(kNewGtld, "application/rdap+json");
                            });
        m_rdap.Start();
        m_bootstrap.server().Get("/dns.json",
                                 [this](const httplib::Request&, httplib::Response& response) {
                                     if (m_bootstrapDown) {
                                         response.status = 500;
                                         return;
                                     }
                                     response.set_content(BootstrapFile(), "application/json");
                                 });
        m_bootstrap.Start();
    }

    std::string BootstrapFile() const {
        const std::string base = m_rdap.Url("/rdap/");
        return R"({"version": "1.0", "services": [[["com", "org", "live"], [")" + base +
               R"("]], [["net"], ["http://127.0.0.1:9/rdap/"]]]})";
    }

    // The settings with XDG_CACHE_HOME pointed at the test's temporary folder.
    ServiceSettings Settings() const {
        ServiceSettings settings = LoopbackSettings();
        settings.cacheFolder = ServiceSettingsFrom([this](const char* name) -> const char* {
                                   return std::string_view(name) == "XDG_CACHE_HOME"
                                              ? m_cache.path().c_str()
                                              : nullptr;
                               }).cacheFolder;
        settings.rdapBootstrapUrl = m_bootstrap.Url("/dns.json");
        settings.whoisPort = m_whois.port();
        return settings;
    }

    std::size_t BootstrapFetches() { return m_bootstrap.RequestCount(); }
    std::size_t RdapRequestsFor(const std::string& domain) {
        std::size_t count = 0;
        for (const auto& seen : m_rdap.Requests()) {
            if (seen.target.ends_with("/domain/" + domain)) ++count;
        }
        return count;
    }

    TempDir m_cache;
    FakeWhois m_whois;
    FakeWeb m_rdap;
    FakeWeb m_bootstrap;
    std::atomic<bool> m_bootstrapDown = false;
};

TEST_F(RdapLookupTest, AnswersFromRdapAndFallsBackToWhois) {
    auto service = LookupService::Start(Settings(), "127.0.0.1", 0);
    const std::pair<const char*, const char*> cases[] = {
        {"www.google.com", "1997-09-15"},
        {"bitcoin.org", "2008-08-18"},
        {"nic.live", "2015-04-27"},
        {"moved.com", "2015-04-27"},    // redirected to the registrar
        {"gone.com", "-1"},             // not registered: no WHOIS either
        {"noevent.com", "2001-02-03"},  // WHOIS
        {"notjson.com", "2001-02-03"},  // WHOIS
        {"broken.com", "2001-02-03"},   // WHOIS
        {"example.cn", "2001-02-03"},   // no RDAP server: WHOIS
        {"example.net", "2001-02-03"},  // the server is unreachable: WHOIS
        {"127.0.0.1", "-1"},
    };
    for (const auto& [address, date] : cases) {
        EXPECT_EQ(Ask(*service, "whois", address), date) << address;
    }
    const std::vector<std::string> whois = {"com", "noevent.com", "notjson.com", "broken.com",
                                            "cn",  "example.cn",  "net",         "example.net"};
    EXPECT_EQ(m_whois.Queries(), whois);
    EXPECT_EQ(BootstrapFetches(), 1u);
    const auto requests = m_rdap.Requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.front().target, "/rdap/domain/google.com");
    const auto accept = requests.front().headers.find("Accept");
    ASSERT_NE(accept, requests.front().headers.end());
    EXPECT_NE(accept->second.find("rdap+json"), std::string::npos);
}

TEST_F(RdapLookupTest, BusyServerIsLeftAloneForTheBackOff) {
    auto service = LookupService::Start(Settings(), "127.0.0.1", 0);
    EXPECT_EQ(Ask(*service, "whois", "busy.com"), "2001-02-03");
    EXPECT_EQ(Ask(*service, "whois", "google.com"), "2001-02-03");  // WHOIS: RDAP backed off
    EXPECT_EQ(RdapRequestsFor("busy.com"), 1u);
    EXPECT_EQ(RdapRequestsFor("google.com"), 0u);
}

TEST_F(RdapLookupTest, KeepsTheBootstrapInTheCacheFolderAndUsesAStaleCopy) {
    const fs::path file = fs::path(m_cache.path()) / "zarkel" / "rdap-dns.json";
    {
        auto service = LookupService::Start(Settings(), "127.0.0.1", 0);
        EXPECT_EQ(Ask(*service, "whois", "google.com"), "1997-09-15");
    }
    ASSERT_TRUE(fs::exists(file));
    EXPECT_EQ(BootstrapFetches(), 1u);

    // A fresh copy on disk: a new service fetches nothing.
    {
        auto service = LookupService::Start(Settings(), "127.0.0.1", 0);
        EXPECT_EQ(Ask(*service, "whois", "bitcoin.org"), "2008-08-18");
    }
    EXPECT_EQ(BootstrapFetches(), 1u);

    // Two days old and the refresh fails: the stale copy serves.
    fs::last_write_time(file, fs::file_time_type::clock::now() - std::chrono::hours(48));
    m_bootstrapDown = true;
    {
        auto service = LookupService::Start(Settings(), "127.0.0.1", 0);
        EXPECT_EQ(Ask(*service, "whois", "nic.live"), "2015-04-27");
    }
    EXPECT_EQ(BootstrapFetches(), 2u);

    // Refreshed when it works again.
    m_bootstrapDown = false;
    {
        auto service = LookupService::Start(Settings(), "127.0.0.1", 0);
        EXPECT_EQ(Ask(*service, "whois", "moved.com"), "2015-04-27");
    }
    EXPECT_EQ(BootstrapFetches(), 3u);
    EXPECT_LT(fs::file_time_type::clock::now() - fs::last_write_time(file), std::chrono::hours(1));
}

TEST_F(RdapLookupTest, WithoutBootstrapOrCacheAsksWhois) {
    ServiceSettings settings = Settings();
    settings.cacheFolder.clear();
    m_bootstrapDown = true;
    auto service = LookupService::Start(settings, "127.0.0.1", 0);
    EXPECT_EQ(Ask(*service, "whois", "google.com"), "2001-02-03");
    EXPECT_EQ(Ask(*service, "whois", "bitcoin.org"), "2001-02-03");
    EXPECT_EQ(BootstrapFetches(), 1u);  // a failed fetch is not repeated at once
    EXPECT_FALSE(fs::exists(fs::path(m_cache.path()) / "zarkel"));
}

}  // namespace
