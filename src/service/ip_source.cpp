#include "service/ip_source.h"

#include "platform/name_lookup.h"
#include "platform/public_address.h"
#include "service/site_address.h"

SourceAnswer IpSource::Lookup(std::string_view /*kind*/, const SiteAddress& site) {
    std::string address;
    if (site.numeric) {
        address = site.host;
    } else {
        const auto resolved =
            ResolveHost(site.host, m_context.settings.dnsTimeout, &m_context.stopping);
        if (!resolved) return {std::string(kNoFigure), {}};
        address = !resolved->ipv4.empty() ? resolved->ipv4.front() : resolved->ipv6.front();
    }
    // A service that others can reach does not map out the network it stands in.
    if (m_context.refusePrivateTargets && !IsPublicAddressText(address)) {
        return {std::string(kNoFigure), {}};
    }
    return {address, {}};
}
