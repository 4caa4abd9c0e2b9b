#include "service/whois_source.h"

#include "platform/tcp_query.h"
#include "service/site_address.h"
#include "service/whois_reply.h"

namespace {

constexpr std::size_t kWhoisCap = 256 * 1024;

}  // namespace

std::optional<std::string> WhoisSource::ServerFor(const std::string& tld) {
    {
        std::lock_guard lock(m_mutex);
        const auto found = m_servers.find(tld);
        if (found != m_servers.end()) return found->second;
    }
    const ServiceSettings& settings = m_context.settings;
    const auto reply = TcpQuery(settings.whoisServer, settings.whoisPort, tld + "\r\n",
                                settings.whoisTimeout, kWhoisCap, &m_context.stopping);
    if (!reply) return std::nullopt;
    auto server = WhoisReferral(*reply);
    if (!server) return std::nullopt;
    std::lock_guard lock(m_mutex);
    m_servers[tld] = *server;
    return server;
}

SourceAnswer WhoisSource::Lookup(std::string_view /*kind*/, const SiteAddress& site) {
    if (site.numeric) return {std::string(kNoFigure), {}};
    const std::string domain = RegisteredDomain(site.host);
    const std::size_t dot = domain.rfind('.');
    if (dot == std::string::npos) return {std::string(kNoFigure), {}};
    const auto server = ServerFor(domain.substr(dot + 1));
    if (!server) return {std::string(kNoFigure), {}};
    const ServiceSettings& settings = m_context.settings;
    const auto reply = TcpQuery(*server, settings.whoisPort, domain + "\r\n", settings.whoisTimeout,
                                kWhoisCap, &m_context.stopping);
    if (!reply) return {std::string(kNoFigure), {}};
    return {WhoisRegistrationDate(*reply).value_or(std::string(kNoFigure)), {}};
}
