#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

#include "history/history_types.h"
#include "query/run_recorder.h"

class HistoryStore;

// What a query run hands to the history store. The run's worker collects cells here and
// hands them over in batches; the store's writer thread writes them, so the worker never
// waits on the disk. Empty cells (no usable reply) are not history.
class HistoryRecorder final : public RunRecorder {
  public:
    using Clock = std::function<HistoryTime()>;

    // `clock` gives the time stamps; empty means the system clock.
    explicit HistoryRecorder(HistoryStore& store, Clock clock = {});

    void RunStarted(const std::array<bool, 13>& ticked) override;
    void CellFilled(const Text& address, const Metric& metric, const Text& cell) override;
    void RunEnded(bool stopped, int addresses) override;

    // A batch goes to the store at this size, or when its first cell is this old.
    static constexpr std::size_t kBatchCells = 256;
    static constexpr std::chrono::milliseconds kBatchAge{100};

  private:
    void HandOver();
    HistoryTime Now() const;

    HistoryStore& m_store;
    Clock m_clock;
    std::int64_t m_run = 0;
    std::vector<HistoryCell> m_batch;
    std::chrono::steady_clock::time_point m_batchStarted;
};
