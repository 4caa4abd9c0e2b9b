#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "service/figure_source.h"

// The founding date from WHOIS on port 43: the root names each top-level domain's server,
// which is asked for the registered domain.
class WhoisSource final : public FigureSource {
  public:
    explicit WhoisSource(SourceContext context) : m_context(context) {}
    SourceAnswer Lookup(std::string_view kind, const SiteAddress& site) override;

  private:
    std::optional<std::string> ServerFor(const std::string& tld);

    SourceContext m_context;
    std::mutex m_mutex;
    std::map<std::string, std::string> m_servers;  // top-level domain -> server
};
