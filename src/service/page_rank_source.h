#pragma once

#include "service/figure_source.h"

// The Open PageRank figure (0 to 10) of the registered domain, with the user's API key.
class PageRankSource final : public FigureSource {
  public:
    explicit PageRankSource(SourceContext context) : m_context(context) {}
    SourceAnswer Lookup(std::string_view kind, const SiteAddress& site) override;

  private:
    SourceContext m_context;
};
