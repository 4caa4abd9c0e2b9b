#pragma once

#include <array>
#include <vector>

#include "common/text.h"
#include "query/metric_catalogue.h"

// Looks up one figure of one address and gives the cell text. The query run holds one and
// calls it from its worker thread, one request at a time.
class MetricLookup {
  public:
    virtual ~MetricLookup() = default;
    virtual Text LookupMetric(const Metric& metric, const Text& address) = 0;
    // Called once when a run starts, before its first lookup: the addresses it will look up
    // in order, and the ticked columns (index = column). A hint only: nothing in the run
    // depends on it.
    virtual void PlanRun(const std::vector<Text>& /*addresses*/,
                         const std::array<bool, 13>& /*ticks*/) {}
    // The program is ending: a lookup in progress gives up soon (its cell stays empty) and
    // later ones give up at once. Callable from any thread.
    virtual void CancelLookups() {}
};
