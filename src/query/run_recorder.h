#pragma once

#include <array>

#include "common/text.h"
#include "query/metric_catalogue.h"

// Told what a query run does, on the run's worker thread. An implementation must return at
// once: it may hand the data on, never wait for a disk or a lock held for long.
class RunRecorder {
  public:
    virtual ~RunRecorder() = default;

    // The ticked figures when the run begins; index = result column (1 to 12).
    virtual void RunStarted(const std::array<bool, 13>& ticked) = 0;
    // A figure's cell was filled with `cell` (the exact text shown) for `address`.
    virtual void CellFilled(const Text& address, const Metric& metric, const Text& cell) = 0;
    // The run is over: stopped or completed, after `addresses` addresses had rows.
    virtual void RunEnded(bool stopped, int addresses) = 0;
};
