#include "service/lookup_desk.h"

#include <ctime>

#include "platform/name_lookup.h"
#include "platform/public_address.h"
#include "platform/tcp_query.h"
#include "platform/web_fetch.h"
#include "query/metric_catalogue.h"
#include "service/engine_page.h"
#include "service/html_text.h"
#include "service/open_pagerank.h"
#include "service/out_links.h"
#include "service/page_charset.h"
#include "service/service_query.h"
#include "service/whois_reply.h"

namespace {

constexpr const char* kNoFigure = "-1";
constexpr std::size_t kPageCap = 2 * 1024 * 1024;
constexpr std::size_t kWhoisCap = 256 * 1024;
constexpr std::size_t kApiCap = 64 * 1024;

// Search engines and many sites answer a browser differently from an unknown client.
constexpr const char* kUserAgent =
    "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/120.0.0.0 Safari/537.36";

WebFetchOptions PageOptions(const ServiceSettings& settings, const std::atomic<bool>& stopping) {
    WebFetchOptions options;
    options.cancel = &stopping;
    options.cap = kPageCap;
    options.timeout = settings.fetchTimeout;
    options.connectTimeout = std::min(settings.fetchTimeout, std::chrono::milliseconds(8000));
    options.maxRedirects = 5;
    options.userAgent = kUserAgent;
    options.headers = {"Accept: text/html,application/xhtml+xml,*/*;q=0.8",
                       "Accept-Language: zh-CN,zh;q=0.9,en;q=0.6"};
    return options;
}

}  // namespace

struct LookupDesk::Engine {
    explicit Engine(const ServiceSettings& settings)
        : pacer(settings.engineInterval, settings.engineBackoff) {}
    EnginePacer pacer;
    WebSession session;  // cookies; used by one request at a time, as the pacer ensures
};

LookupDesk::LookupDesk(ServiceSettings settings, bool refusePrivateTargets)
    : m_settings(std::move(settings)),
      m_refusePrivate(refusePrivateTargets),
      m_cache(m_settings.cacheLifetime),
      m_ranks(m_settings.rankListPath),
      m_baidu(std::make_unique<Engine>(m_settings)),
      m_sogou(std::make_unique<Engine>(m_settings)),
      m_so360(std::make_unique<Engine>(m_settings)) {}

LookupDesk::~LookupDesk() = default;

void LookupDesk::Stop() {
    m_stopping = true;
    m_baidu->pacer.Stop();
    m_sogou->pacer.Stop();
    m_so360->pacer.Stop();
}

std::string LookupDesk::Answer(std::string_view kind, std::string_view address,
                               std::string_view tag) {
    const Metric* metric = nullptr;
    for (const Metric& m : kMetricCatalogue) {
        if (m.kind == kind) metric = &m;
    }
    if (metric == nullptr || metric->tag != tag) return kNoFigure;
    const auto site = ParseSiteAddress(address);
    if (!site) return kNoFigure;
    const std::string kindText(kind);
    const std::string key = kindText + ' ' + site->hostPort;
    if (auto cached = m_cache.Find(key)) return *cached;
    std::string figure = Figure(kindText, *site);
    if (figure != kNoFigure) m_cache.Store(key, figure);
    return figure;
}

std::string LookupDesk::Figure(const std::string& kind, const SiteAddress& site) {
    if (kind == "ip") return IpFigure(site);
    if (kind == "title" || kind == "daochu") return PageFigure(kind, site);
    if (kind == "whois") return WhoisFigure(site);
    if (kind == "baidu" || kind == "sl1" || kind == "sogousl" || kind == "haosousl") {
        return EngineFigure(kind, site);
    }
    if (kind == "alexa") return RankFigure(site);
    if (kind == "pr") return PageRankFigure(site);
    // baidupr, sogoupr: private vendors' estimates that no public source gives.
    return kNoFigure;
}

std::string LookupDesk::IpFigure(const SiteAddress& site) {
    std::string address;
    if (site.numeric) {
        address = site.host;
    } else {
        const auto resolved = ResolveHost(site.host, m_settings.dnsTimeout, &m_stopping);
        if (!resolved) return kNoFigure;
        address = !resolved->ipv4.empty() ? resolved->ipv4.front() : resolved->ipv6.front();
    }
    // A service that others can reach does not map out the network it stands in.
    if (m_refusePrivate && !IsPublicAddressText(address)) return kNoFigure;
    return address;
}

std::string LookupDesk::PageFigure(const std::string& kind, const SiteAddress& site) {
    WebFetchOptions options = PageOptions(m_settings, m_stopping);
    options.publicTargetsOnly = m_refusePrivate;
    const WebPage page = FetchWebPage("http://" + site.hostPort + "/", options);
    if (page.outcome != WebPage::Outcome::kOk || page.status >= 400) return kNoFigure;
    const std::string html = PageToUtf8(page.body, page.contentType);

    // One fetch gives both figures; a run usually asks for both.
    const auto title = FirstTitle(html);
    const std::string titleFigure = title && !title->empty() ? *title : kNoFigure;
    const std::string linksFigure =
        std::to_string(CountOutboundLinks(html, {site.host, UrlHost(page.finalUrl)}));
    if (titleFigure != kNoFigure) m_cache.Store("title " + site.hostPort, titleFigure);
    m_cache.Store("daochu " + site.hostPort, linksFigure);
    return kind == "title" ? titleFigure : linksFigure;
}

std::optional<std::string> LookupDesk::WhoisServerFor(const std::string& tld) {
    {
        std::lock_guard lock(m_whoisMutex);
        const auto found = m_whoisServers.find(tld);
        if (found != m_whoisServers.end()) return found->second;
    }
    const auto reply = TcpQuery(m_settings.whoisServer, m_settings.whoisPort, tld + "\r\n",
                                m_settings.whoisTimeout, kWhoisCap, &m_stopping);
    if (!reply) return std::nullopt;
    auto server = WhoisReferral(*reply);
    if (!server) return std::nullopt;
    std::lock_guard lock(m_whoisMutex);
    m_whoisServers[tld] = *server;
    return server;
}

std::string LookupDesk::WhoisFigure(const SiteAddress& site) {
    if (site.numeric) return kNoFigure;
    const std::string domain = RegisteredDomain(site.host);
    const std::size_t dot = domain.rfind('.');
    if (dot == std::string::npos) return kNoFigure;
    const auto server = WhoisServerFor(domain.substr(dot + 1));
    if (!server) return kNoFigure;
    const auto reply = TcpQuery(*server, m_settings.whoisPort, domain + "\r\n",
                                m_settings.whoisTimeout, kWhoisCap, &m_stopping);
    if (!reply) return kNoFigure;
    return WhoisRegistrationDate(*reply).value_or(kNoFigure);
}

std::string LookupDesk::EngineFigure(const std::string& kind, const SiteAddress& site) {
    Engine* engine = m_baidu.get();
    std::string url = m_settings.baiduUrl + PercentEncode(site.host);
    if (kind == "sl1") {
        const long now = static_cast<long>(std::time(nullptr));
        url += "&gpc=" + PercentEncode("stf=" + std::to_string(now - 86400) + "," +
                                       std::to_string(now) + "|stftype=1");
    } else if (kind == "sogousl") {
        engine = m_sogou.get();
        url = m_settings.sogouUrl + PercentEncode(site.host);
    } else if (kind == "haosousl") {
        engine = m_so360.get();
        url = m_settings.so360Url + PercentEncode(site.host);
    }
    if (!engine->pacer.Begin()) return kNoFigure;
    WebFetchOptions options = PageOptions(m_settings, m_stopping);
    options.session = &engine->session;
    const WebPage page = FetchWebPage(url, options);
    EngineReading reading;
    if (page.outcome == WebPage::Outcome::kOk) {
        reading =
            ReadEnginePage(PageToUtf8(page.body, page.contentType), page.finalUrl, page.status);
    }
    engine->pacer.End(reading.kind == EngineReading::Kind::kBlocked);
    if (reading.kind != EngineReading::Kind::kCount) return kNoFigure;
    return std::to_string(reading.count);
}

std::string LookupDesk::RankFigure(const SiteAddress& site) {
    const auto rank = m_ranks.Rank(site.host);
    return rank ? std::to_string(*rank) : kNoFigure;
}

std::string LookupDesk::PageRankFigure(const SiteAddress& site) {
    if (m_settings.openPageRankKey.empty() || site.numeric) return kNoFigure;
    WebFetchOptions options = PageOptions(m_settings, m_stopping);
    options.cap = kApiCap;
    options.headers = {"API-OPR: " + m_settings.openPageRankKey, "Accept: application/json"};
    const std::string url = m_settings.openPageRankUrl +
                            "?domains%5B0%5D=" + PercentEncode(RegisteredDomain(site.host));
    const WebPage page = FetchWebPage(url, options);
    if (page.outcome != WebPage::Outcome::kOk || page.status != 200) return kNoFigure;
    const auto rank = ReadOpenPageRank(page.body);
    return rank ? std::to_string(*rank) : kNoFigure;
}
