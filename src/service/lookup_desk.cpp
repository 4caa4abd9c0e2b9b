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

LookupDesk::Setup::Setup(ServiceSettings s, bool refusePrivate, const std::atomic<bool>& stopping)
    : settings(std::move(s)), routes(StandardFigureRoutes({settings, refusePrivate, stopping})) {
    for (const auto& [kind, source] : routes.byKind) kindsOf[source].push_back(kind);
}

FigureSource* LookupDesk::Setup::SourceOf(std::string_view kind) const {
    const auto route = routes.byKind.find(kind);
    return route == routes.byKind.end() ? nullptr : route->second;
}

std::vector<std::string> LookupDesk::Setup::WorkKinds(const std::string& kind,
                                                      const FigureSource& source) const {
    if (!source.AnswersAllKindsAtOnce()) return {kind};
    return kindsOf.at(&source);
}

LookupDesk::LookupDesk(ServiceSettings settings, bool refusePrivateTargets)
    : m_settings(settings),
      m_refusePrivateTargets(refusePrivateTargets),
      m_cache(m_settings.cacheLifetime),
      m_setup(std::make_shared<Setup>(std::move(settings), refusePrivateTargets, m_stopping)),
      m_board(kReadyCapacity, kReadyLife),
      m_planner(
          AheadPlanner::Options{.windowHosts = m_settings.aheadHosts,
                                .workers = m_settings.aheadLookups},
          [this](const std::string& kind) -> std::optional<const void*> {
              const FigureSource* source = CurrentSetup()->SourceOf(kind);
              if (source == nullptr) return std::nullopt;
              return source->PacesItself() ? source : nullptr;
          },
          [this](const std::string& kind, const SiteAddress& site) { Prepare(kind, site); }) {}

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

LookupDesk::~LookupDesk() {
    Stop();
}

void LookupDesk::Stop() {
    m_stopping = true;
    for (const auto& source : CurrentSetup()->routes.sources) source->Stop();
    m_board.Stop();
    m_planner.Stop();
}

void LookupDesk::Remember(std::string_view kind, const std::string& hostPort,
                          const std::string& figure) {
    if (figure != kNoFigure && figure != kNotConfigured) {
        m_cache.Store(CacheKey(kind, hostPort), figure);
    }
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
    const std::shared_ptr<Setup> setup = CurrentSetup();  // keeps the source while it works
    FigureSource* source = setup->SourceOf(kind);
    if (source == nullptr || m_cache.Find(CacheKey(kind, site.hostPort))) return;
    m_board.Prepare(kind, site.hostPort, setup->WorkKinds(kind, *source),
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
    const std::shared_ptr<Setup> setup = CurrentSetup();  // keeps the source while it works
    FigureSource* source = setup->SourceOf(kind);
    if (source == nullptr) return std::string(kNoFigure);
    const std::string kindText(kind);
    return m_board.Take(kindText, site->hostPort, setup->WorkKinds(kindText, *source),
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
