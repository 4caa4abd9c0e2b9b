#pragma once

#include "common/text.h"
#include "query/metric_catalogue.h"

// Looks up one figure of one address and gives the cell text. The query run holds one and
// calls it from its worker thread, one request at a time.
class MetricLookup {
  public:
    virtual ~MetricLookup() = default;
    virtual Text LookupMetric(const Metric& metric, const Text& address) = 0;
    // The program is ending: a lookup in progress gives up soon (its cell stays empty) and
    // later ones give up at once. Callable from any thread.
    virtual void CancelLookups() {}
};
