#pragma once

#include "service/figure_source.h"
#include "service/rdap_source.h"
#include "service/whois_source.h"

// The founding date: the registry's RDAP server first; WHOIS for the top-level domains
// without one, and when RDAP gives no answer. A 404 from RDAP means not registered: -1.
class FoundingDateSource final : public FigureSource {
  public:
    explicit FoundingDateSource(SourceContext context) : m_rdap(context), m_whois(context) {}
    SourceAnswer Lookup(std::string_view kind, const SiteAddress& site) override;
    void Stop() override { m_rdap.Stop(); }

  private:
    RdapSource m_rdap;
    WhoisSource m_whois;
};
