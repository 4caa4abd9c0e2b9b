#include "service/lookup_desk.h"

#include "query/metric_catalogue.h"
#include "service/site_address.h"

LookupDesk::LookupDesk(ServiceSettings settings, bool refusePrivateTargets)
    : m_refusePrivateTargets(refusePrivateTargets),
      m_cache(settings.cacheLifetime),
      m_setup(std::make_shared<Setup>(std::move(settings), refusePrivateTargets, m_stopping)) {}

std::shared_ptr<LookupDesk::Setup> LookupDesk::CurrentSetup() {
    std::lock_guard lock(m_setupMutex);
    return m_setup;
}

void LookupDesk::Reconfigure(ServiceSettings settings) {
    auto setup = std::make_shared<Setup>(std::move(settings), m_refusePrivateTargets, m_stopping);
    {
        std::lock_guard lock(m_setupMutex);
        std::swap(m_setup, setup);
    }
    // Built over the old settings: a figure they gave may not hold for the new ones.
    m_cache.EraseKinds({"alexa", "pr", "baidupr", "sogoupr"});
}

void LookupDesk::Stop() {
    m_stopping = true;
    for (const auto& source : CurrentSetup()->routes.sources) source->Stop();
}

void LookupDesk::Remember(std::string_view kind, const std::string& hostPort,
                          const std::string& figure) {
    if (figure != kNoFigure && figure != kNotConfigured) {
        m_cache.Store(std::string(kind) + ' ' + hostPort, figure);
    }
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
    const std::shared_ptr<Setup> setup = CurrentSetup();
    const auto route = setup->routes.byKind.find(kind);
    if (route == setup->routes.byKind.end()) return std::string(kNoFigure);
    SourceAnswer answer = route->second->Lookup(kind, *site);
    for (const auto& [otherKind, figure] : answer.others) {
        Remember(otherKind, site->hostPort, figure);
    }
    Remember(kind, site->hostPort, answer.figure);
    return std::move(answer.figure);
}
