#pragma once

#include <atomic>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "service/service_settings.h"
#include "service/utf8.h"

struct SiteAddress;

// The service's answer when a figure cannot be had now; a later request may work.
inline constexpr std::string_view kNoFigure = "-1";
// Answers that are final, not failures: the figure needs a key that is not set; the site is
// not in the rank list.
inline const std::string kNotConfigured = U8(u8"未配置");
inline const std::string kNotRanked = U8(u8"无排名");

// What one lookup of a source found: the figure asked for, and figures of other kinds that
// the same work gave (the title and the outbound links come from one page), which the desk
// caches as well.
struct SourceAnswer {
    std::string figure;
    std::vector<std::pair<std::string, std::string>> others;  // kind, figure
};

// One place figures come from. The desk routes each kind to one source and caches real
// figures; a source only fetches and reads. Lookup is called from many threads at once.
class FigureSource {
  public:
    virtual ~FigureSource() = default;
    virtual SourceAnswer Lookup(std::string_view kind, const SiteAddress& site) = 0;
    // Ends waits of this source's own (an engine's turn); fetches end through the shared
    // stop flag every source is built with.
    virtual void Stop() {}
    // One Lookup answers every kind routed here (in `others`): the desk treats the kinds of
    // one site as one piece of work.
    virtual bool AnswersAllKindsAtOnce() const { return false; }
    // The source sends one request at a time and paces them: work ahead of the program
    // queues for it in order instead of running side by side.
    virtual bool PacesItself() const { return false; }
};

// What every source is built with: the settings, whether non-public sites are refused, and
// the desk's stop flag that ends fetches under way.
struct SourceContext {
    const ServiceSettings& settings;
    bool refusePrivateTargets;
    const std::atomic<bool>& stopping;
};
