#pragma once

#include "service/figure_source.h"

// The site's home page, read once for two figures: its title ("title") and the number of
// distinct off-site link targets ("daochu").
class SitePageSource final : public FigureSource {
  public:
    explicit SitePageSource(SourceContext context) : m_context(context) {}
    SourceAnswer Lookup(std::string_view kind, const SiteAddress& site) override;
    bool AnswersAllKindsAtOnce() const override { return true; }

  private:
    SourceContext m_context;
};
