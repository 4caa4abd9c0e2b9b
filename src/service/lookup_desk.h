#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "service/answer_cache.h"
#include "service/engine_pacer.h"
#include "service/rank_list.h"
#include "service/service_settings.h"
#include "service/site_address.h"

class WebSession;

// Answers one request of the lookup protocol: the figure as UTF-8 text, "-1" when it cannot
// be had. Safe to call from many threads; only real figures are cached, so a failure is
// tried again on the next request.
class LookupDesk final {
  public:
    LookupDesk(ServiceSettings settings, bool refusePrivateTargets);
    ~LookupDesk();
    LookupDesk(const LookupDesk&) = delete;
    LookupDesk& operator=(const LookupDesk&) = delete;

    std::string Answer(std::string_view kind, std::string_view address, std::string_view tag);

    // Ends every fetch, exchange and wait for an engine's turn in progress, and every one
    // after (they answer -1), so that the serving threads can be joined at once.
    void Stop();

  private:
    struct Engine;

    std::string Figure(const std::string& kind, const SiteAddress& site);
    std::string IpFigure(const SiteAddress& site);
    std::string PageFigure(const std::string& kind, const SiteAddress& site);
    std::string WhoisFigure(const SiteAddress& site);
    std::string EngineFigure(const std::string& kind, const SiteAddress& site);
    std::string RankFigure(const SiteAddress& site);
    std::string PageRankFigure(const SiteAddress& site);
    std::optional<std::string> WhoisServerFor(const std::string& tld);

    ServiceSettings m_settings;
    bool m_refusePrivate;
    AnswerCache m_cache;
    RankList m_ranks;
    std::unique_ptr<Engine> m_baidu;
    std::unique_ptr<Engine> m_sogou;
    std::unique_ptr<Engine> m_so360;
    std::atomic<bool> m_stopping = false;
    std::mutex m_whoisMutex;
    std::map<std::string, std::string> m_whoisServers;  // top-level domain -> server
};
