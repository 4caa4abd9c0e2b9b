#pragma once

#include <atomic>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "service/ahead_planner.h"
#include "service/answer_cache.h"
#include "service/figure_sources.h"
#include "service/lookup_board.h"
#include "service/service_settings.h"

// Answers one request of the lookup protocol: the figure as UTF-8 text, "-1" when it cannot
// be had. It routes each kind to its source, caches what they find and works ahead of the
// programs that tell their run plan; only real figures are cached, so a failure is tried
// again on the next request. Safe to call from many threads.
class LookupDesk final {
  public:
    LookupDesk(ServiceSettings settings, bool refusePrivateTargets);
    ~LookupDesk();
    LookupDesk(const LookupDesk&) = delete;
    LookupDesk& operator=(const LookupDesk&) = delete;

    std::string Answer(std::string_view kind, std::string_view address, std::string_view tag);

    enum class PlanOutcome { kTaken, kMalformed, kNotWorkingAhead };
    // A run plan's body (see RunPlan); its buffer is kept, not copied.
    PlanOutcome TakePlan(std::string body);

    // Ends every fetch, exchange and wait for an engine's turn in progress, and every one
    // after (they answer -1), so that the serving threads can be joined at once.
    void Stop();

  private:
    void Remember(std::string_view kind, const std::string& hostPort, const std::string& figure);
    FigureSource* SourceOf(std::string_view kind) const;
    // The kinds one lookup of `source` for `kind` answers.
    std::vector<std::string> WorkKinds(const std::string& kind, const FigureSource& source) const;
    SourceAnswer Look(FigureSource& source, const std::string& kind, const SiteAddress& site);
    void Prepare(const std::string& kind, const SiteAddress& site);

    ServiceSettings m_settings;
    std::atomic<bool> m_stopping = false;
    AnswerCache m_cache;
    FigureRoutes m_routes;
    std::map<const FigureSource*, std::vector<std::string>> m_kindsOf;
    LookupBoard m_board;
    AheadPlanner m_planner;  // last: its workers use everything above
};
