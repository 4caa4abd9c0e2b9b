#pragma once

#include "service/figure_source.h"

// The site's IP address from DNS: the first IPv4 address, else the first IPv6 one.
class IpSource final : public FigureSource {
  public:
    explicit IpSource(SourceContext context) : m_context(context) {}
    SourceAnswer Lookup(std::string_view kind, const SiteAddress& site) override;

  private:
    SourceContext m_context;
};
