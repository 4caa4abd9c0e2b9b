#include "service/lookup_desk.h"

#include "query/metric_catalogue.h"
#include "service/site_address.h"

namespace {

// Answers worked out for requests that have not come yet wait this long at most.
constexpr std::chrono::seconds kReadyLife{120};
constexpr std::size_t kReadyCapacity = 200000;

std::string CacheKey(std::string_view kind, const std::string& hostPort) {
    return std::string(kind) + ' ' + hostPort;
}

}  // namespace

LookupDesk::LookupDesk(ServiceSettings settings, bool refusePrivateTargets)
    : m_settings(std::move(settings)),
      m_cache(m_settings.cacheLifetime),
      m_routes(StandardFigureRoutes({m_settings, refusePrivateTargets, m_stopping})),
      m_board(kReadyCapacity, kReadyLife),
      m_planner(
          AheadPlanner::Options{.windowHosts = m_settings.aheadHosts,
                                .workers = m_settings.aheadLookups},
          [this](const std::string& kind) -> std::optional<const void*> {
              const FigureSource* source = SourceOf(kind);
              if (source == nullptr) return std::nullopt;
              return source->PacesItself() ? source : nullptr;
          },
          [this](const std::string& kind, const SiteAddress& site) { Prepare(kind, site); }) {
    for (const auto& [kind, source] : m_routes.byKind) m_kindsOf[source].push_back(kind);
}

LookupDesk::~LookupDesk() {
    Stop();
}

void LookupDesk::Stop() {
    m_stopping = true;
    for (const auto& source : m_routes.sources) source->Stop();
    m_board.Stop();
    m_planner.Stop();
}

void LookupDesk::Remember(std::string_view kind, const std::string& hostPort,
                          const std::string& figure) {
    if (figure != kNoFigure) m_cache.Store(CacheKey(kind, hostPort), figure);
}

FigureSource* LookupDesk::SourceOf(std::string_view kind) const {
    const auto route = m_routes.byKind.find(kind);
    return route == m_routes.byKind.end() ? nullptr : route->second;
}

std::vector<std::string> LookupDesk::WorkKinds(const std::string& kind,
                                               const FigureSource& source) const {
    if (!source.AnswersAllKindsAtOnce()) return {kind};
    return m_kindsOf.at(&source);
}

SourceAnswer LookupDesk::Look(FigureSource& source, const std::string& kind,
                              const SiteAddress& site) {
    SourceAnswer answer = source.Lookup(kind, site);
    for (const auto& [otherKind, figure] : answer.others) {
        Remember(otherKind, site.hostPort, figure);
    }
    Remember(kind, site.hostPort, answer.figure);
    return answer;
}

void LookupDesk::Prepare(const std::string& kind, const SiteAddress& site) {
    FigureSource* source = SourceOf(kind);
    if (source == nullptr || m_cache.Find(CacheKey(kind, site.hostPort))) return;
    m_board.Prepare(kind, site.hostPort, WorkKinds(kind, *source),
                    [&] { return Look(*source, kind, site); });
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
    m_planner.Follow(site->hostPort);
    if (auto cached = m_cache.Find(CacheKey(kind, site->hostPort))) return *cached;
    FigureSource* source = SourceOf(kind);
    if (source == nullptr) return std::string(kNoFigure);
    const std::string kindText(kind);
    return m_board.Take(kindText, site->hostPort, WorkKinds(kindText, *source),
                        [&] { return Look(*source, kindText, *site); });
}

LookupDesk::PlanOutcome LookupDesk::TakePlan(std::string body) {
    if (m_settings.aheadHosts == 0 || m_settings.aheadLookups == 0) {
        return PlanOutcome::kNotWorkingAhead;
    }
    auto plan = RunPlan::Read(std::move(body));
    if (!plan) return PlanOutcome::kMalformed;
    m_planner.Take(std::move(*plan));
    return PlanOutcome::kTaken;
}
