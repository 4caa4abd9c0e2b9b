#include "ui/history_controller.h"

#include <QLabel>

#include "history/value_change.h"
#include "platform/qt_text.h"
#include "query/metric_catalogue.h"
#include "results/result_model.h"
#include "ui/main_window.h"
#include "ui/result_list.h"
#include "ui/trend_window.h"

namespace {

int ColumnOf(std::string_view kind) {
    for (const Metric& metric : kMetricCatalogue) {
        if (metric.kind == kind) return metric.column;
    }
    return -1;
}

CellTint ToCellTint(ChangeDirection direction) {
    switch (direction) {
        case ChangeDirection::Up:
            return CellTint::Up;
        case ChangeDirection::Down:
            return CellTint::Down;
        default:
            return CellTint::Changed;
    }
}

}  // namespace

HistoryController::HistoryController(MainWindow& window, HistoryStore& store,
                                     MessageBoxRoutine& box)
    : QObject(&window), m_window(window), m_store(store), m_box(box) {
    connect(window.ResultTable(), &ResultList::rowOpenRequested, this,
            [this](int row) { OpenTrendWindow(m_window.Results().GetCell(row, 0)); });
    m_store.SetListener(this);
}

HistoryController::~HistoryController() {
    m_store.SetListener(nullptr);
    for (const QPointer<TrendWindow>& trend : m_trends) delete trend.data();
}

TrendWindow* HistoryController::OpenTrendWindow(const Text& host) {
    if (host.empty()) return nullptr;
    for (const QPointer<TrendWindow>& trend : m_trends) {
        if (trend != nullptr && trend->Host() == host) {
            trend->show();
            trend->raise();
            trend->activateWindow();
            return trend;
        }
    }
    std::erase_if(m_trends, [](const QPointer<TrendWindow>& trend) { return trend == nullptr; });
    auto* trend = new TrendWindow(m_store, m_box, host);
    m_trends.emplace_back(trend);
    trend->show();
    return trend;
}

Text HistoryController::FailureNotice(HistoryFailure failure) {
    if (failure == HistoryFailure::None) return {};
    return ConcatText({"；历史记录未保存（", FailureReason(failure), "）"});
}

void HistoryController::HistoryRunStarted(std::int64_t run) {
    QMetaObject::invokeMethod(
        this, [this, run] { m_currentRun = run; }, Qt::QueuedConnection);
}

void HistoryController::HistoryChanged(std::int64_t run, const std::vector<CellChange>& changes) {
    QMetaObject::invokeMethod(
        this, [this, run, changes] { NoteChanges(run, changes); }, Qt::QueuedConnection);
}

void HistoryController::HistoryHostsWritten(const std::vector<Text>& hosts) {
    QMetaObject::invokeMethod(
        this, [this, hosts] { RefreshTrends(hosts); }, Qt::QueuedConnection);
}

void HistoryController::HistoryRunFinished(std::int64_t run, HistoryFailure failure) {
    if (failure == HistoryFailure::None) return;
    QMetaObject::invokeMethod(
        this, [this, run, failure] { TellFailure(run, failure); }, Qt::QueuedConnection);
}

void HistoryController::NoteChanges(std::int64_t run, const std::vector<CellChange>& changes) {
    // Notes of an earlier run would fit a table that is no longer its.
    if (run != m_currentRun) return;
    std::vector<ResultModel::NotedCell> notes;
    notes.reserve(changes.size());
    for (const CellChange& change : changes) {
        const int column = ColumnOf(change.kind);
        if (column < 1) continue;
        notes.push_back({change.host,
                         column,
                         {change.value, change.previous, HistoryDate(change.previousSeen),
                          ToCellTint(change.direction)}});
    }
    m_window.Results().AddCellNotes(notes);
}

void HistoryController::RefreshTrends(const std::vector<Text>& hosts) {
    for (const QPointer<TrendWindow>& trend : m_trends) {
        if (trend == nullptr) continue;
        if (std::find(hosts.begin(), hosts.end(), trend->Host()) != hosts.end()) trend->Reload();
    }
}

void HistoryController::TellFailure(std::int64_t run, HistoryFailure failure) {
    // The run has written its last status by now; a later run owns the line.
    if (run != m_currentRun) return;
    QLabel* status = m_window.StatusLabel();
    status->setText(status->text() + ToQString(FailureNotice(failure)));
}
