#pragma once

#include "common/text.h"
#include "query/metric_catalogue.h"

// Looks up one figure of one address and gives the cell text. The query run holds one and
// calls it from its worker thread, one request at a time.
class MetricLookup {
public:
    virtual ~MetricLookup() = default;
    virtual Text LookupMetric(const Metric& metric, const Text& address) = 0;
};
