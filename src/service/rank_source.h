#pragma once

#include "service/figure_source.h"
#include "service/rank_list.h"

// The site's rank in a public top-sites list ("alexa").
class RankSource final : public FigureSource {
  public:
    explicit RankSource(SourceContext context) : m_ranks(context.settings.rankListPath) {}
    SourceAnswer Lookup(std::string_view kind, const SiteAddress& site) override;

  private:
    RankList m_ranks;
};
