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

TEST(WhoisDateTest, ReadsTheDateFormsRegistriesUse) {
    using enum DayMonthOrder;
    struct Case {
        const char* value;
        DayMonthOrder order;
        const char* date;  // nullptr: no date
    };
    const Case cases[] = {
        {"1995-08-14T04:00:00Z", kUnknown, "1995-08-14"},
        {"2001-06-14-T10:32:43Z", kUnknown, "2001-06-14"},
        {"2001/05/09", kUnknown, "2001-05-09"},
        {"2000. 01. 20.", kUnknown, "2000-01-20"},
        {"2001-Aug-23.", kUnknown, "2001-08-23"},
        {"26-Nov-1996", kUnknown, "1996-11-26"},
        {"13-MAY-2009", kUnknown, "2009-05-13"},
        {"14 August 1995", kUnknown, "1995-08-14"},
        {"30th April 2003 at 00:00:00.000", kUnknown, "2003-04-30"},
        {"2nd April, 2001", kUnknown, "2001-04-02"},
        {"Friday 7th November 2003", kUnknown, "2003-11-07"},
        {"01-Jan-99", kUnknown, "1999-01-01"},
        {"Thu Apr 18 19:12:00 GMT 2002", kUnknown, "2002-04-18"},
        {"April 18, 2002", kUnknown, "2002-04-18"},
        {"Sept 3 2004", kUnknown, "2004-09-03"},
        {"31.12.1999", kUnknown, "1999-12-31"},
        {"01.02.2010 09:48:01", kUnknown, "2010-02-01"},  // dots are written day first
        {"12/18/2001", kUnknown, "2001-12-18"},           // 18 cannot be a month
        {"06-04-2004", kUnknown, nullptr},                // either order: unknowable
        {"06-04-2004", kDayFirst, "2004-04-06"},
        {"06-04-2004", kMonthFirst, "2004-06-04"},
        {"12/18/2001", kDayFirst, nullptr},  // the registry's order rules out a swap
        {"16/09/03", kDayFirst, "2003-09-16"},
        {"16/09/03", kUnknown, nullptr},
        {"20010509", kUnknown, "2001-05-09"},
        {"19961206 #24302", kUnknown, "1996-12-06"},
        {"20020903000000", kUnknown, "2002-09-03"},
        {"before Aug-1996", kUnknown, nullptr},
        {"before 1990", kUnknown, nullptr},
        {"2023-13-40", kUnknown, nullptr},
        {"2023-02-29", kUnknown, nullptr},
        {"1970-01-01", kUnknown, nullptr},
        {"Marzo 3 2004", kUnknown, nullptr},
        {"see at www.register.bg", kUnknown, nullptr},
        {"", kUnknown, nullptr},
    };
    for (const auto& [value, order, date] : cases) {
        const auto parsed = ParseWhoisDate(value, order);
        if (date == nullptr) {
            EXPECT_FALSE(parsed.has_value()) << value << " gave " << parsed.value_or("");
        } else {
            EXPECT_EQ(parsed.value_or("none"), date) << value;
        }
    }
}

// One reply per registry form: dates after their keys in the registries' own words, on the
// next line, behind tabs and dot leaders, and the registry's day/month order.
TEST(WhoisReplyTest, ReadsEachRegistrysForm) {
    struct Case {
        const char* domain;
        std::string reply;
        const char* date;  // nullptr: -1
    };
    const Case cases[] = {
        {"example.com", "Domain Name: EXAMPLE.COM\r\nCreation Date: 1997-09-15T04:00:00Z\r\n",
         "1997-09-15"},
        {"example.li", "Holder of domain name:\nX\n\nFirst registration date:\n1996-02-08\n",
         "1996-02-08"},
        {"example.ch", "Registrar\tMarkMonitor\n\nFirst registration date\t31 May 1999\n",
         "1999-05-31"},
        {"example.com.tr", "** Additional Info:\nCreated on..............: 2001-Aug-23.\n",
         "2001-08-23"},
        {"example.tw",
         "   Record expires on 2019-11-09 (YYYY-MM-DD)\n"
         "   Record created on 2000-08-29 (YYYY-MM-DD)\n",
         "2000-08-29"},
        {"example.gg",
         "Relevant dates:\n     Registered on 30th April 2003 at 00:00:00.000\n"
         "     Registry fee due on 30th April each year\n",
         "2003-04-30"},
        {"example.edu", "Domain record activated:    15-Jul-1985\n", "1985-07-15"},
        {"example.ac.uk",
         "Renewal date:\n\tMonday 16th Jun 2014\n\nEntry created:\n"
         "\tFriday 7th November 2003\n",
         "2003-11-07"},
        {"example.co.ve",
         U8(u8"   Fecha de Vencimiento: 2018-03-06 00:00:00\n"
            u8"   Fecha de Creación: 2003-03-06 00:00:00\n"),
         "2003-03-06"},
        {"example.dz", "Date de creation#. . . . . . . . .10/01/2007\n", "2007-01-10"},
        {"example.jp", U8(u8"[ドメイン名]  EXAMPLE.JP\n[登録年月日]   2001/05/09\n"), "2001-05-09"},
        {"example.cn", U8(u8"注册时间：2003-03-17 12:20:05\n"), "2003-03-17"},
        {"example.nz", "domain_dateregistered: 1999-02-17T00:00:00+13:00\n", "1999-02-17"},
        {"example.hk", "Domain Name Commencement Date: 06-04-2004\n", "2004-04-06"},
        {"example.tk", "   Domain registered: 12/03/2001\n", "2001-12-03"},
        {"example.nl", "   Date registered: 05-03-1999\n", "1999-03-05"},
        {"example.pt", "Data de registo / Creation Date (dd/mm/yyyy): 09/01/2003\n", "2003-01-09"},
        {"example.il",
         "changed:      registrar AT ns.il 19990605 (Assigned)\n"
         "changed:      registrar AT ns.il 20020926 (Changed)\n",
         "1999-06-05"},
        {"example.ua", "created:    0-UANIC 20020903000000\n", "2002-09-03"},
        {"example.ma", "domain:Created:20090324\n", "2009-03-24"},
        {"example.my", "b [Registration No.]  D6A017331\nc [Record Created]    13-MAY-2009\n",
         "2009-05-13"},
        {"example.gov.za", "7a.        Place : Pretoria\n7b.        Date : 2012/09/03\n",
         "2012-09-03"},
        {"example.tn", "Acivated \t: 2009-05-14 00:00:00\n", "2009-05-14"},
        {"example.bg", "activated on: see at www.register.bg\n", nullptr},
        // Keys that only start like a creation key are not one.
        {"example.net",
         "Registration Expiration Date: 2030-01-01\nCreated by: 2001-01-01\n"
         "Registration status: Registered until cancelled\n",
         nullptr},
        // An unknowable date ends the search before someone else's date.
        {"example.uk",
         "    Relevant dates:\n        Registered on: before Aug-1996\n\n"
         "    Registrant:\n    created: 2001-01-01\n",
         nullptr},
        {"example.org", "Created: 03/04/2005\n\nnic-hdl: X\ncreated: 2001-01-01\n", nullptr},
        // Contacts' and registrars' own blocks are not the domain's.
        {"example.fr",
         "domain: example.fr\nstatus: ACTIVE\n\nnic-hdl: ANO00-FRNIC\n"
         "created: 2010-01-01T00:00:00Z\n",
         nullptr},
        {"example.fr",
         "domain: example.fr\ncreated: 01/02/2000\n\nregistrar: X\n"
         "registered: 2002-01-07T00:00:00Z\n",
         "2000-02-01"},
        // A chained reply: the root's record of the top-level domain comes first.
        {"nic.live",
         "% IANA WHOIS server\n\ndomain:       LIVE\n\ncreated:      2015-06-25\n"
         "source:       IANA\n\n# whois.nic.live\n\nDomain Name: nic.live\n"
         "Creation Date: 2015-04-27T22:04:24Z\n",
         "2015-04-27"},
        // ... but a domain the root registers itself keeps its record.
        {"example.int",
         "domain:       EXAMPLE.INT\n\ncreated:      1996-08-23\nsource:       IANA\n",
         "1996-08-23"},
        {"example.com", "No match for \"EXAMPLE.COM\".\r\n", nullptr},
    };
    for (const auto& [domain, reply, date] : cases) {
        const auto read = WhoisRegistrationDate(reply, domain);
        EXPECT_EQ(read.value_or("-1"), date ? date : "-1") << domain << ": " << reply;
    }
}

// Creation lines that overflowed the stack of the pattern matcher the reader used to have.
TEST(WhoisReplyTest, HostileLinesCostNothing) {
    const std::string blanks = "Creation Date:" + std::string(26000, ' ') + "1999-01-01\n";
    const std::string letters = "Creation Date: " + std::string(40000, 'a') + "\n";
    std::string dots = "Creation Date: ";
    for (int i = 0; i < 20000; ++i) dots += "a.";
    std::string digits = "Creation Date: ";
    for (int i = 0; i < 20000; ++i) digits += "1-";
    const std::string longKey = std::string(100000, 'x') + ": 2001-01-01\n";
    for (const std::string& reply : {blanks, letters, dots, digits, longKey}) {
        EXPECT_FALSE(WhoisRegistrationDate(reply, "example.com").has_value());
        EXPECT_FALSE(ParseWhoisDate(reply).has_value());
    }
    std::string many;
    for (int i = 0; i < 50000; ++i) many += "created:\n";
    EXPECT_FALSE(WhoisRegistrationDate(many + "x\n", "example.com").has_value());
}

}  // namespace
