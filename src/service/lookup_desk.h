#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
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
// programs that tell their run plan; only real figures are cached ("未配置" is not, so a key
// set later takes effect at once), and a failure is tried again on the next request. Safe to
// call from many threads.
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

    // Rebuilds the sources with new settings; lookups under way finish with the old ones.
    // Cached figures of the sources that keys and lists feed are dropped. (Working ahead
    // keeps the settings the desk was built with.)
    void Reconfigure(ServiceSettings settings);

    // Ends every fetch, exchange and wait for an engine's turn in progress, and every one
    // after (they answer -1), so that the serving threads can be joined at once.
    void Stop();

  private:
    // The settings and the sources built over them, replaced together.
    struct Setup {
        Setup(ServiceSettings s, bool refusePrivate, const std::atomic<bool>& stopping);
        FigureSource* SourceOf(std::string_view kind) const;
        // The kinds one lookup of `source` for `kind` answers.
        std::vector<std::string> WorkKinds(const std::string& kind,
                                           const FigureSource& source) const;

        ServiceSettings settings;
        FigureRoutes routes;
        std::map<const FigureSource*, std::vector<std::string>> kindsOf;
    };

    std::shared_ptr<Setup> CurrentSetup();
    void Remember(std::string_view kind, const std::string& hostPort, const std::string& figure);
    SourceAnswer Look(FigureSource& source, const std::string& kind, const SiteAddress& site);
    void Prepare(const std::string& kind, const SiteAddress& site);

    ServiceSettings m_settings;  // as built: working ahead follows these
    bool m_refusePrivateTargets;
    std::atomic<bool> m_stopping = false;
    AnswerCache m_cache;
    std::mutex m_setupMutex;
    std::shared_ptr<Setup> m_setup;
    LookupBoard m_board;
    AheadPlanner m_planner;  // last: its workers use everything above
};
