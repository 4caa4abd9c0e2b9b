#include "service/page_rank_source.h"

#include "service/open_pagerank.h"
#include "service/service_query.h"
#include "service/site_address.h"
#include "service/source_fetch.h"

namespace {

constexpr std::size_t kApiCap = 64 * 1024;

}  // namespace

SourceAnswer PageRankSource::Lookup(std::string_view /*kind*/, const SiteAddress& site) {
    const ServiceSettings& settings = m_context.settings;
    if (settings.openPageRankKey.empty()) return {kNotConfigured, {}};
    if (site.numeric || !KeySafeUrl(settings.openPageRankUrl)) return {std::string(kNoFigure), {}};
    WebFetchOptions options = SourceFetchOptions(m_context);
    options.cap = kApiCap;
    options.maxRedirects = 0;  // the key travels in a header: never to another host
    options.headers = {"API-OPR: " + settings.openPageRankKey, "Accept: application/json"};
    const std::string url =
        settings.openPageRankUrl + "?domains%5B0%5D=" + PercentEncode(RegisteredDomain(site.host));
    const WebPage page = FetchWebPage(url, options);
    if (page.outcome != WebPage::Outcome::kOk || page.status != 200) {
        return {std::string(kNoFigure), {}};
    }
    const auto rank = ReadOpenPageRank(page.body);
    return {rank ? std::to_string(*rank) : std::string(kNoFigure), {}};
}
