#include "service/rank_source.h"

#include "service/site_address.h"

SourceAnswer RankSource::Lookup(std::string_view /*kind*/, const SiteAddress& site) {
    const auto rank = m_ranks.Rank(site.host);
    return {rank ? std::to_string(*rank) : std::string(kNoFigure), {}};
}
