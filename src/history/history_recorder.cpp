#include "history/history_recorder.h"

#include <ctime>

#include "history/history_store.h"

HistoryRecorder::HistoryRecorder(HistoryStore& store, Clock clock)
    : m_store(store), m_clock(std::move(clock)) {}

HistoryTime HistoryRecorder::Now() const {
    return m_clock ? m_clock() : static_cast<HistoryTime>(std::time(nullptr));
}

void HistoryRecorder::RunStarted(const std::array<bool, 13>& ticked) {
    std::string figures;
    for (const Metric& metric : kMetricCatalogue) {
        if (!ticked[static_cast<std::size_t>(metric.column)]) continue;
        if (!figures.empty()) figures += ' ';
        figures += metric.kind;
    }
    m_batch.clear();
    m_run = m_store.BeginRun(Now(), std::move(figures));
}

void HistoryRecorder::CellFilled(const Text& address, const Metric& metric, const Text& cell) {
    if (cell.empty() || m_run == 0) return;
    const auto now = std::chrono::steady_clock::now();
    if (m_batch.empty()) m_batchStarted = now;
    m_batch.push_back({address, std::string(metric.kind), cell, Now()});
    if (m_batch.size() >= kBatchCells || now - m_batchStarted >= kBatchAge) HandOver();
}

void HistoryRecorder::HandOver() {
    m_store.Record(m_run, std::move(m_batch));
    m_batch = {};
}

void HistoryRecorder::RunEnded(bool stopped, int addresses) {
    if (m_run == 0) return;
    HandOver();
    m_store.EndRun(m_run, Now(), stopped ? RunOutcome::Stopped : RunOutcome::Completed, addresses);
    m_run = 0;
}
