#include "service/lookup_desk.h"

#include "query/metric_catalogue.h"
#include "service/site_address.h"

LookupDesk::LookupDesk(ServiceSettings settings, bool refusePrivateTargets)
    : m_settings(std::move(settings)),
      m_cache(m_settings.cacheLifetime),
      m_routes(StandardFigureRoutes({m_settings, refusePrivateTargets, m_stopping})) {}

void LookupDesk::Stop() {
    m_stopping = true;
    for (const auto& source : m_routes.sources) source->Stop();
}

void LookupDesk::Remember(std::string_view kind, const std::string& hostPort,
                          const std::string& figure) {
    if (figure != kNoFigure) m_cache.Store(std::string(kind) + ' ' + hostPort, figure);
}

std::string LookupDesk::Answer(std::string_view kind, std::string_view address,
                               std::string_view tag) {
    const Metric* metric = nullptr;
    for (const Metric& m : kMetricCatalogue) {
        if (m.kind == kind) metric = &m;
    }
    if (metric == nullptr || metric->tag != tag) return std::string(kNoFigure);
    const auto site = ParseSiteAddress(address);
    if (!site) return std::string(kNoFigure);
    if (auto cached = m_cache.Find(std::string(kind) + ' ' + site->hostPort)) return *cached;
    const auto route = m_routes.byKind.find(kind);
    if (route == m_routes.byKind.end()) return std::string(kNoFigure);
    SourceAnswer answer = route->second->Lookup(kind, *site);
    for (const auto& [otherKind, figure] : answer.others) {
        Remember(otherKind, site->hostPort, figure);
    }
    Remember(kind, site->hostPort, answer.figure);
    return std::move(answer.figure);
}
