#include "service/rank_source.h"

#include "service/site_address.h"

RankSource::RankSource(SourceContext context) : m_context(context) {
    const ServiceSettings& settings = context.settings;
    if (settings.rankListPath.empty() && !settings.rankCacheDirectory.empty()) {
        m_downloaded = std::make_unique<DownloadedRankList>(context);
    }
}

void RankSource::Stop() {
    if (m_downloaded) m_downloaded->Stop();
}

std::shared_ptr<const RankList> RankSource::CurrentList() {
    if (m_downloaded) return m_downloaded->Current();
    if (m_context.settings.rankListPath.empty()) return nullptr;
    std::call_once(m_fileRead,
                   [this] { m_fileList = RankList::Load(m_context.settings.rankListPath); });
    return m_fileList;
}

SourceAnswer RankSource::Lookup(std::string_view /*kind*/, const SiteAddress& site) {
    const auto list = CurrentList();
    if (list == nullptr) return {std::string(kNoFigure), {}};
    const auto rank = list->Rank(site.host);
    return {rank ? std::to_string(*rank) : kNotRanked, {}};
}
