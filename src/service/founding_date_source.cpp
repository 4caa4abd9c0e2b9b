#include "service/founding_date_source.h"

#include "service/site_address.h"

SourceAnswer FoundingDateSource::Lookup(std::string_view kind, const SiteAddress& site) {
    if (site.numeric) return {std::string(kNoFigure), {}};
    const std::string domain = RegisteredDomain(site.host);
    if (domain.find('.') == std::string::npos) return {std::string(kNoFigure), {}};
    const RdapAnswer rdap = m_rdap.Lookup(domain);
    if (rdap.kind == RdapAnswer::Kind::kDate) return {rdap.date, {}};
    if (rdap.kind == RdapAnswer::Kind::kNotRegistered) return {std::string(kNoFigure), {}};
    return m_whois.Lookup(kind, site);
}
