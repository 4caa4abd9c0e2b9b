// One RDAP founding-date lookup, with the bootstrap file already in memory, against the
// plainest libcurl GET of the same domain document from the same loopback server: what the
// lookup adds (bootstrap search, pacing, JSON reading) must stay small next to a request.
#include <curl/curl.h>
#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "bare_get.h"
#include "service/founding_date_source.h"
#include "service/site_address.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRequests = 2000;
constexpr int kWarmUp = 50;
constexpr double kTarget = 1.10;

// A domain object of a thin registry's size and shape.
const char* const kDomain = R"({
  "objectClassName": "domain", "handle": "2336799_DOMAIN_COM-VRSN", "ldhName": "EXAMPLE.COM",
  "links": [{"value": "https://rdap.example/com/v1/domain/EXAMPLE.COM", "rel": "self",
             "href": "https://rdap.example/com/v1/domain/EXAMPLE.COM",
             "type": "application/rdap+json"}],
  "status": ["client delete prohibited", "client transfer prohibited",
             "client update prohibited"],
  "entities": [{"objectClassName": "entity", "handle": "376", "roles": ["registrar"],
                "publicIds": [{"type": "IANA Registrar ID", "identifier": "376"}],
                "vcardArray": ["vcard", [["version", {}, "text", "4.0"],
                               ["fn", {}, "text", "RESERVED-Internet Assigned Numbers Authority"]]]}],
  "events": [{"eventAction": "registration", "eventDate": "1995-08-14T04:00:00Z"},
             {"eventAction": "expiration", "eventDate": "2026-08-13T04:00:00Z"},
             {"eventAction": "last update of RDAP database", "eventDate": "2026-01-01T00:00:00Z"}],
  "secureDNS": {"delegationSigned": true},
  "nameservers": [{"objectClassName": "nameserver", "ldhName": "A.IANA-SERVERS.NET"},
                  {"objectClassName": "nameserver", "ldhName": "B.IANA-SERVERS.NET"}],
  "rdapConformance": ["rdap_level_0", "icann_rdap_technical_implementation_guide_0"],
  "notices": [{"title": "Terms of Use", "description": ["Service subject to Terms of Use."]}]
})";

double Median(std::vector<double> values) {
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

template <typename F>
double Seconds(F&& work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main() {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    httplib::Server server;
    std::string bootstrap;
    server.Get("/dns.json", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content(bootstrap, "application/json");
    });
    server.Get("/rdap/domain/example.com",
               [](const httplib::Request&, httplib::Response& response) {
                   response.set_content(kDomain, "application/rdap+json");
               });
    const int port = server.bind_to_any_port("127.0.0.1");
    std::thread serving([&] { server.listen_after_bind(); });
    const std::string origin = "http://127.0.0.1:" + std::to_string(port);
    bootstrap = R"({"version": "1.0", "services": [[["com"], [")" + origin + R"(/rdap/"]]]})";

    ServiceSettings settings;
    settings.rdapBootstrapUrl = origin + "/dns.json";
    settings.whoisServer = "127.0.0.1";
    settings.whoisPort = 9;
    std::atomic<bool> stopping = false;
    FoundingDateSource source(SourceContext{settings, false, stopping});
    const SiteAddress site = *ParseSiteAddress("www.example.com");
    const std::string url = origin + "/rdap/domain/example.com";

    bool correct = true;
    for (int i = 0; i < kWarmUp; ++i) {
        correct = correct && source.Lookup("whois", site).figure == "1995-08-14";
        correct = correct && BareGet(url) == kDomain;
    }

    // Interleaved, with the order swapped every round, so drift of the machine hits both.
    std::vector<double> lookups, bares;
    lookups.reserve(kRequests);
    bares.reserve(kRequests);
    for (int i = 0; i < kRequests; ++i) {
        const auto timeLookup = [&] {
            lookups.push_back(Seconds([&] { source.Lookup("whois", site); }));
        };
        const auto timeBare = [&] { bares.push_back(Seconds([&] { BareGet(url); })); };
        if (i % 2 == 0) {
            timeLookup();
            timeBare();
        } else {
            timeBare();
            timeLookup();
        }
    }
    server.stop();
    serving.join();

    std::vector<double> ratios(kRequests);
    for (int i = 0; i < kRequests; ++i) ratios[i] = lookups[i] / bares[i];
    const double ratio = Median(ratios);
    std::fprintf(stderr, "median per request: rdap lookup %.1f us, bare libcurl %.1f us\n",
                 Median(lookups) * 1e6, Median(bares) * 1e6);
    std::printf("rdap_lookup_vs_bare_curl_ratio: %.3f ratio (target: <= %.2f)\n", ratio, kTarget);
    if (!correct) std::printf("rdap_lookup_reply_correct: 0 bool (target: 1)\n");
    return correct && ratio <= kTarget ? 0 : 1;
}
