// One lookup against the plainest libcurl GET of the same URL from the same loopback server:
// what the lookup adds (asking for the service's host, target encoding, headers, decoding)
// must stay small next to a request. The server runs in a child process, as the program's
// service does.
#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "bare_get.h"
#include "instant_service.h"
#include "query/lookup.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRequests = 2000;
constexpr int kWarmUp = 50;
constexpr double kTarget = 1.10;

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

int main(int argc, char** argv) {
    const std::string title = reinterpret_cast<const char*>(u8"网站标题 - 首页");
    ServeInstantlyIfChild(argc, argv, title);
    curl_global_init(CURL_GLOBAL_DEFAULT);
    const auto service = StartInstantService();

    const std::string host = service->CurrentHost();
    const Metric& metric = kMetricCatalogue[6];
    const std::string url = BuildLookupUrl(host, metric, "www.example.com");
    ServiceLookup lookup(*service);

    bool correct = true;
    for (int i = 0; i < kWarmUp; ++i) {
        correct = correct && lookup.LookupMetric(metric, "www.example.com") == "网站标题 - 首页";
        correct = correct && BareGet(url) == title;
    }

    // Interleaved, with the order swapped every round, so drift of the machine hits both.
    std::vector<double> lookups, bares;
    lookups.reserve(kRequests);
    bares.reserve(kRequests);
    for (int i = 0; i < kRequests; ++i) {
        const auto timeLookup = [&] {
            lookups.push_back(Seconds([&] { lookup.LookupMetric(metric, "www.example.com"); }));
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

    // Each lookup against the bare GET next to it, then the median of those ratios: neither a
    // stall of the shared machine in one request nor a slow stretch of the run decides it.
    std::vector<double> ratios(kRequests);
    for (int i = 0; i < kRequests; ++i) ratios[i] = lookups[i] / bares[i];
    const double ratio = Median(ratios);
    std::fprintf(stderr, "median per request: lookup %.1f us, bare libcurl %.1f us\n",
                 Median(lookups) * 1e6, Median(bares) * 1e6);
    std::printf("lookup_vs_bare_curl_ratio: %.3f ratio (target: <= %.2f)\n", ratio, kTarget);
    if (!correct) std::printf("lookup_reply_correct: 0 bool (target: 1)\n");
    return correct && ratio <= kTarget ? 0 : 1;
}
