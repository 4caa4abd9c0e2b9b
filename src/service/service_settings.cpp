#include "service/service_settings.h"

#include <cstdlib>
#include <string_view>

namespace {

bool ReadNumber(const char* text, long min, long max, long& value) {
    if (text == nullptr || *text == '\0') return false;
    char* end = nullptr;
    const long parsed = std::strtol(text, &end, 10);
    if (*end != '\0' || parsed < min || parsed > max) return false;
    value = parsed;
    return true;
}

void ReadText(const char* text, std::string& value) {
    if (text != nullptr && *text != '\0') value = text;
}

// "host", "host:port" or "[v6]:port".
void ReadServer(const char* text, std::string& host, int& port) {
    if (text == nullptr || *text == '\0') return;
    std::string value = text;
    std::string portText;
    if (value.front() == '[') {
        const std::size_t close = value.find(']');
        if (close == std::string::npos) return;
        if (close + 1 < value.size() && value[close + 1] == ':') portText = value.substr(close + 2);
        value = value.substr(1, close - 1);
    } else if (value.find(':') == value.rfind(':') && value.find(':') != std::string::npos) {
        portText = value.substr(value.find(':') + 1);
        value.erase(value.find(':'));
    }
    long parsed = port;
    if (!portText.empty() && !ReadNumber(portText.c_str(), 1, 65535, parsed)) return;
    host = value;
    port = static_cast<int>(parsed);
}

}  // namespace

ServiceSettings ServiceSettingsFrom(const std::function<const char*(const char*)>& lookup) {
    ServiceSettings s;
    ReadText(lookup("ZARKEL_LOOKUP_BAIDU_URL"), s.baiduUrl);
    ReadText(lookup("ZARKEL_LOOKUP_SOGOU_URL"), s.sogouUrl);
    ReadText(lookup("ZARKEL_LOOKUP_SO360_URL"), s.so360Url);
    ReadServer(lookup("ZARKEL_LOOKUP_WHOIS_SERVER"), s.whoisServer, s.whoisPort);
    ReadText(lookup("ZARKEL_LOOKUP_RANK_LIST"), s.rankListPath);
    ReadText(lookup("ZARKEL_LOOKUP_OPR_KEY"), s.openPageRankKey);
    ReadText(lookup("ZARKEL_LOOKUP_OPR_URL"), s.openPageRankUrl);
    ReadText(lookup("ZARKEL_LOOKUP_RANK_LIST_URL"), s.rankListUrl);
    ReadText(lookup("ZARKEL_LOOKUP_AIZHAN_KEY"), s.aizhanKey);
    ReadText(lookup("ZARKEL_LOOKUP_AIZHAN_URL"), s.aizhanUrl);
    if (const char* cache = lookup("XDG_CACHE_HOME"); cache != nullptr && *cache == '/') {
        s.rankCacheDirectory = std::string(cache) + "/zarkel";
    } else if (const char* home = lookup("HOME"); home != nullptr && *home == '/') {
        s.rankCacheDirectory = std::string(home) + "/.cache/zarkel";
    }
    long value = 0;
    if (ReadNumber(lookup("ZARKEL_LOOKUP_ENGINE_INTERVAL_MS"), 0, 3600000, value)) {
        s.engineInterval = std::chrono::milliseconds(value);
    }
    if (ReadNumber(lookup("ZARKEL_LOOKUP_ENGINE_BACKOFF_S"), 0, 86400, value)) {
        s.engineBackoff = std::chrono::seconds(value);
    }
    if (ReadNumber(lookup("ZARKEL_LOOKUP_CACHE_S"), 0, 30 * 86400, value)) {
        s.cacheLifetime = std::chrono::seconds(value);
    }
    if (ReadNumber(lookup("ZARKEL_LOOKUP_TIMEOUT_S"), 1, 600, value)) {
        s.fetchTimeout = std::chrono::seconds(value);
        s.whoisTimeout = std::chrono::seconds(value);
    }
    ReadText(lookup("ZARKEL_LOOKUP_RDAP_BOOTSTRAP"), s.rdapBootstrapUrl);
    if (ReadNumber(lookup("ZARKEL_LOOKUP_RDAP_TIMEOUT_S"), 1, 600, value)) {
        s.rdapTimeout = std::chrono::seconds(value);
    }
    const char* cacheHome = lookup("XDG_CACHE_HOME");
    const char* home = lookup("HOME");
    if (cacheHome != nullptr && *cacheHome == '/') {
        s.cacheFolder = std::string(cacheHome) + "/zarkel";
    } else if (home != nullptr && *home == '/') {
        s.cacheFolder = std::string(home) + "/.cache/zarkel";
    }
    if (ReadNumber(lookup("ZARKEL_LOOKUP_AHEAD_HOSTS"), 0, 1000, value)) {
        s.aheadHosts = static_cast<std::size_t>(value);
    }
    if (ReadNumber(lookup("ZARKEL_LOOKUP_AHEAD_LOOKUPS"), 1, 256, value)) {
        s.aheadLookups = static_cast<std::size_t>(value);
    }
    const char* targets = lookup("ZARKEL_LOOKUP_PRIVATE_TARGETS");
    if (targets != nullptr) {
        const std::string_view t = targets;
        if (t == "allow") s.privateTargets = ServiceSettings::PrivateTargets::kAllow;
        if (t == "refuse") s.privateTargets = ServiceSettings::PrivateTargets::kRefuse;
    }
    return s;
}

ServiceSettings ServiceSettingsFromEnvironment() {
    return ServiceSettingsFrom([](const char* name) { return std::getenv(name); });
}

ServiceSettings ServiceSettingsFromEnvironmentAnd(const StoredSettings& stored) {
    return ServiceSettingsFrom([&stored](const char* name) -> const char* {
        // An empty variable counts as unset, as everywhere in these settings.
        if (const char* set = std::getenv(name); set != nullptr && *set != '\0') return set;
        const auto found = stored.find(std::string_view(name));
        return found == stored.end() ? nullptr : found->second.c_str();
    });
}

bool KeySafeUrl(std::string_view url) {
    if (url.starts_with("https://")) return true;
    if (!url.starts_with("http://")) return false;
    url.remove_prefix(7);
    for (std::string_view host : {"127.0.0.1", "localhost", "[::1]"}) {
        if (url.starts_with(host) &&
            (url.size() == host.size() || url[host.size()] == ':' || url[host.size()] == '/')) {
            return true;
        }
    }
    return false;
}

bool RefusesPrivateTargets(const ServiceSettings& settings, const std::string& bindAddress) {
    switch (settings.privateTargets) {
        case ServiceSettings::PrivateTargets::kAllow:
            return false;
        case ServiceSettings::PrivateTargets::kRefuse:
            return true;
        case ServiceSettings::PrivateTargets::kByBindAddress:
            break;
    }
    if (bindAddress == "localhost") return false;
    if (bindAddress.rfind("127.", 0) == 0 || bindAddress == "::1") return false;
    // Everything else (0.0.0.0, ::, a LAN or public address) is reachable by others.
    return true;
}
