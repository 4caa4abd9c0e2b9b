// The founding-date figure from a fake WHOIS root and registry on loopback.
#include <gtest/gtest.h>

#include <map>

#include "service/service_fixture.h"
#include "service/utf8.h"
#include "service/whois_reply.h"

namespace {

// Registry replies in the shapes real registries use.
const std::map<std::string, std::string> kRegistry = {
    {"example.com",
     "   Domain Name: EXAMPLE.COM\r\n   Registry Domain ID: 2336799_DOMAIN_COM-VRSN\r\n"
     "   Updated Date: 2023-08-14T07:01:38Z\r\n   Creation Date: 1995-08-14T04:00:00Z\r\n"},
    {"example.cn",
     "Domain Name: example.cn\r\nROID: 20030311s10001s00033735-cn\r\n"
     "Registration Time: 2003-03-17 12:20:05\r\nExpiration Time: 2025-03-17 12:48:36\r\n"},
    {"example.fr",
     "%%\n%% This is the AFNIC Whois server.\n%%\ndomain:      example.fr\n"
     "status:      ACTIVE\ncreated:     2004-12-02T10:20:30Z\nlast-update: 2022-01-01\n\n"
     "nic-hdl:     ANO00-FRNIC\ncreated:     2010-01-01T00:00:00Z\n"},
    {"example.co.uk",
     "\n    Domain name:\n        example.co.uk\n\n    Relevant dates:\n"
     "        Registered on: 26-Nov-1996\n        Expiry date:  26-Nov-2025\n"},
    {"example.us",
     "Domain Name: example.us\nDomain Registration Date: Thu Apr 18 19:12:00 GMT 2002\n"},
    {"example.jp",
     U8(u8"[ドメイン名]                EXAMPLE.JP\n[登録年月日]                2001/05/09\n")},
    {"example.kr",
     "Domain Name                 : example.kr\nRegistered Date             : 2000. 01. 20.\n"},
    {"nodate.com", "   Domain Name: NODATE.COM\r\n   Registrar: Somebody\r\n"},
    {"missing.com", "No match for \"MISSING.COM\".\r\n"},
};

class WhoisTest : public ::testing::Test {
  protected:
    WhoisTest()
        : m_whois([](const std::string& query) -> std::string {
              // The root refers every top-level domain but "zz" to itself.
              if (query.find('.') == std::string::npos) {
                  if (query == "zz") return "% IANA WHOIS server\n\nstatus: ACTIVE\n";
                  return "% IANA WHOIS server\n\ndomain:       " + query +
                         "\n\nrefer:        127.0.0.1\n\nstatus:       ACTIVE\n";
              }
              const auto found = kRegistry.find(query);
              return found == kRegistry.end() ? "No match\r\n" : found->second;
          }) {
        ServiceSettings settings = LoopbackSettings();
        settings.whoisServer = "127.0.0.1";
        settings.whoisPort = m_whois.port();
        m_service = LookupService::Start(settings, "127.0.0.1", 0);
    }

    FakeWhois m_whois;
    std::unique_ptr<LookupService> m_service;
};

TEST_F(WhoisTest, GivesTheRegistrationDateOfEachFormat) {
    const std::pair<std::string, std::string> cases[] = {
        {"example.com", "1995-08-14"}, {"example.cn", "2003-03-17"},
        {"example.fr", "2004-12-02"},  {"example.co.uk", "1996-11-26"},
        {"example.us", "2002-04-18"},  {"example.jp", "2001-05-09"},
        {"example.kr", "2000-01-20"},  {"nodate.com", "-1"},
        {"missing.com", "-1"},         {"example.zz", "-1"},
    };
    for (const auto& [domain, date] : cases) {
        EXPECT_EQ(Ask(*m_service, "whois", domain), date) << domain;
    }
}

TEST_F(WhoisTest, AsksTheRegistryForTheRegisteredDomainAndTheRootOncePerTld) {
    EXPECT_EQ(Ask(*m_service, "whois", "www.example.com"), "1995-08-14");
    EXPECT_EQ(Ask(*m_service, "whois", "news.example.co.uk"), "1996-11-26");
    EXPECT_EQ(Ask(*m_service, "whois", "nodate.com"), "-1");
    const std::vector<std::string> expected = {"com", "example.com", "uk", "example.co.uk",
                                               "nodate.com"};
    EXPECT_EQ(m_whois.Queries(), expected);
}

TEST(WhoisUnreachableTest, SilentOrClosedServerAnswersMinusOne) {
    ServiceSettings settings = LoopbackSettings();  // WHOIS on closed port 9
    auto service = LookupService::Start(settings, "127.0.0.1", 0);
    EXPECT_EQ(Ask(*service, "whois", "example.com"), "-1");
    EXPECT_EQ(Ask(*service, "whois", "127.0.0.1"), "-1");
}

TEST(WhoisDateTest, ReadsTheCommonDateForms) {
    const std::pair<const char*, const char*> cases[] = {
        {"1995-08-14T04:00:00Z", "1995-08-14"},
        {"2001/05/09", "2001-05-09"},
        {"2000. 01. 20.", "2000-01-20"},
        {"26-Nov-1996", "1996-11-26"},
        {"14 August 1995", "1995-08-14"},
        {"Thu Apr 18 19:12:00 GMT 2002", "2002-04-18"},
        {"April 18, 2002", "2002-04-18"},
        {"31.12.1999", "1999-12-31"},
        {"20010509", "2001-05-09"},
        {"before 1990", nullptr},
        {"2023-13-40", nullptr},
        {"", nullptr},
    };
    for (const auto& [value, date] : cases) {
        const auto parsed = ParseWhoisDate(value);
        if (date == nullptr) {
            EXPECT_FALSE(parsed.has_value()) << value;
        } else {
            EXPECT_EQ(parsed.value_or("none"), date) << value;
        }
    }
}

}  // namespace
