#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>

// Where the service finds each figure and how politely it asks. Every field has an
// environment variable (see ServiceSettingsFrom); tests point the addresses at loopback.
struct ServiceSettings {
    // Search pages; the percent-encoded host is appended to each.
    std::string baiduUrl = "https://www.baidu.com/s?wd=site%3A";
    std::string sogouUrl = "https://www.sogou.com/web?query=site%3A";
    std::string so360Url = "https://www.so.com/s?q=site%3A";
    // The WHOIS root that refers to each top-level domain's server; the port applies to the
    // referred servers too.
    std::string whoisServer = "whois.iana.org";
    int whoisPort = 43;
    std::chrono::milliseconds engineInterval{2000};
    std::chrono::seconds engineBackoff{300};
    std::string rankListPath;  // "rank,domain" lines; empty: the list below, downloaded
    // The public top-million list, downloaded into rankCacheDirectory on first need and
    // renewed after rankListMaxAge; no cache directory means no list.
    std::string rankListUrl = "https://tranco-list.eu/top-1m.csv.zip";
    std::string rankCacheDirectory;
    std::chrono::hours rankListMaxAge{7 * 24};
    std::string openPageRankKey;
    std::string openPageRankUrl = "https://openpagerank.com/api/v1.0/getPageRank";
    // The aizhan API store key and address: Baidu and Sogou weight (baidupr, sogoupr).
    std::string aizhanKey;
    std::string aizhanUrl = "https://apistore.aizhan.com";
    // How long the first weight lookup waits for others to share its request.
    std::chrono::milliseconds aizhanBatchWindow{250};
    std::chrono::seconds cacheLifetime{3600};
    std::chrono::milliseconds fetchTimeout{15000};
    std::chrono::milliseconds whoisTimeout{10000};
    std::chrono::milliseconds dnsTimeout{5000};
    // IANA's list of the RDAP server of each top-level domain, and the time-out of an RDAP
    // request. The list is kept in `cacheFolder` (empty: in memory only).
    std::string rdapBootstrapUrl = "https://data.iana.org/rdap/dns.json";
    std::chrono::milliseconds rdapTimeout{10000};
    std::string cacheFolder;  // $XDG_CACHE_HOME/zarkel or ~/.cache/zarkel
    // Working ahead of a program that tells its run plan: hosts past the one it is at
    // (0: no working ahead), and lookups under way at once for that work.
    std::size_t aheadHosts = 32;
    std::size_t aheadLookups = 16;

    // Fetching loopback, private and link-local sites: refused when the service listens
    // beyond loopback, unless set otherwise.
    enum class PrivateTargets { kByBindAddress, kAllow, kRefuse };
    PrivateTargets privateTargets = PrivateTargets::kByBindAddress;
};

// Reads the ZARKEL_LOOKUP_* variables through `lookup` (getenv in the program); unset or
// unreadable values keep their defaults. XDG_CACHE_HOME (else HOME) names the cache folder.
ServiceSettings ServiceSettingsFrom(const std::function<const char*(const char*)>& lookup);
ServiceSettings ServiceSettingsFromEnvironment();

// Stored settings by variable name (the user's config file), under the environment: a
// variable that is set wins over the stored value.
using StoredSettings = std::map<std::string, std::string, std::less<>>;
ServiceSettings ServiceSettingsFromEnvironmentAnd(const StoredSettings& stored);

// Whether a destination may receive an API key: https, or plain http to loopback (tests).
bool KeySafeUrl(std::string_view url);

// Whether sites on non-public addresses are refused for a service bound to `bindAddress`.
bool RefusesPrivateTargets(const ServiceSettings& settings, const std::string& bindAddress);
