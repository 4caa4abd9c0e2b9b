#include "ui/trend_window.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <ctime>

#include "common/message_box.h"
#include "history/history_store.h"
#include "history/trend_data.h"
#include "history/value_change.h"
#include "platform/qt_text.h"
#include "query/metric_catalogue.h"

namespace {

constexpr HistoryTime kDay = 86400;

QString FigureCaption(std::string_view kind) {
    for (const Metric& metric : kMetricCatalogue) {
        if (metric.kind == kind) return ToQString(Text(metric.caption));
    }
    return ToQString(Text(kind));
}

QChartView* MakeChart(const TrendSeries& series, HistoryTime from, HistoryTime now) {
    auto* line = new QLineSeries;
    line->setPointsVisible(true);
    double low = series.points.front().value;
    double high = low;
    bool whole = true;
    for (const TrendPoint& point : series.points) {
        line->append(static_cast<double>(point.time) * 1000.0, point.value);
        low = std::min(low, point.value);
        high = std::max(high, point.value);
        whole = whole && point.value == std::floor(point.value);
    }
    auto* chart = new QChart;
    chart->setTitle(FigureCaption(series.kind));
    chart->legend()->hide();
    chart->addSeries(line);
    chart->setMargins({4, 4, 4, 4});

    // The axis spans the points (within the range) up to now, so a few days of history are
    // not squeezed against the edge of a year; hours are shown when it is that short.
    auto* time = new QDateTimeAxis;
    time->setTickCount(5);
    const HistoryTime last = std::max(now, series.points.back().time);
    HistoryTime first = std::max(from, series.points.front().time);
    first -= std::max<HistoryTime>(60, (last - first) / 20);
    time->setFormat(last - first < 3 * kDay ? QStringLiteral("MM-dd HH:mm")
                                            : QStringLiteral("yyyy-MM-dd"));
    time->setRange(QDateTime::fromSecsSinceEpoch(first), QDateTime::fromSecsSinceEpoch(last));
    chart->addAxis(time, Qt::AlignBottom);
    line->attachAxis(time);

    auto* values = new QValueAxis;
    const double pad = high > low ? (high - low) * 0.1 : std::max(1.0, std::abs(high) * 0.1);
    if (whole) {
        // Whole figures get whole ticks: no "1, 1, 2, 2" from rounded halves.
        const double bottom = std::floor(low >= 0 ? std::max(0.0, low - pad) : low - pad);
        const double top = std::ceil(high + pad);
        values->setRange(bottom, top);
        if (top - bottom <= 8) {
            values->setTickCount(static_cast<int>(top - bottom) + 1);
        } else {
            values->applyNiceNumbers();
        }
        values->setLabelFormat(QStringLiteral("%.0f"));
    } else {
        values->setRange(low - pad, high + pad);
        values->setLabelFormat(QStringLiteral("%.2f"));
    }
    chart->addAxis(values, Qt::AlignLeft);
    line->attachAxis(values);

    auto* view = new QChartView(chart);
    view->setObjectName(QStringLiteral("Chart_") + QString::fromLatin1(series.kind));
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(190);
    return view;
}

QTableWidget* MakeTextChanges(const std::vector<TextChange>& changes) {
    auto* table = new QTableWidget(static_cast<int>(changes.size()), 3);
    table->setObjectName(QStringLiteral("TextChanges"));
    table->setHorizontalHeaderLabels({ToQString("日期"), ToQString("项目"), ToQString("值")});
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->horizontalHeader()->setStretchLastSection(true);
    for (int row = 0; row < static_cast<int>(changes.size()); ++row) {
        const TextChange& change = changes[static_cast<std::size_t>(row)];
        // The time too: a figure may change more than once a day.
        const QString when =
            QDateTime::fromSecsSinceEpoch(change.time).toString(QStringLiteral("yyyy-MM-dd HH:mm"));
        table->setItem(row, 0, new QTableWidgetItem(when));
        table->setItem(row, 1, new QTableWidgetItem(FigureCaption(change.kind)));
        auto* value = new QTableWidgetItem(ToQString(change.value));
        value->setToolTip(value->text());
        table->setItem(row, 2, value);
    }
    table->resizeColumnToContents(0);
    table->setColumnWidth(1, 90);
    table->setMinimumHeight(std::min(240, 30 + table->verticalHeader()->defaultSectionSize() *
                                                   std::max(1, static_cast<int>(changes.size()))));
    return table;
}

}  // namespace

TrendWindow::TrendWindow(HistoryStore& store, MessageBoxRoutine& box, Text host, Clock clock,
                         QWidget* parent)
    : QWidget(parent, Qt::Window),
      m_store(store),
      m_box(box),
      m_host(std::move(host)),
      m_clock(std::move(clock)) {
    setObjectName(QStringLiteral("TrendWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(ToQString(ConcatText({"趋势 - ", m_host})));
    resize(660, 600);

    auto* layout = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    auto* hostLabel = new QLabel(ToQString(ConcatText({"网址：", m_host})));
    hostLabel->setTextFormat(Qt::PlainText);
    bar->addWidget(hostLabel, 1);
    bar->addWidget(new QLabel(ToQString("范围：")));
    m_range = new QComboBox;
    m_range->setObjectName(QStringLiteral("RangeChoice"));
    m_range->addItems({ToQString("近30天"), ToQString("近一年"), ToQString("全部")});
    bar->addWidget(m_range);
    m_delete = new QPushButton(ToQString("删除此网址的历史"));
    m_delete->setObjectName(QStringLiteral("DeleteHistoryButton"));
    bar->addWidget(m_delete);
    layout->addLayout(bar);

    m_noHistory =
        new QLabel(ToQString("这个网址还没有历史记录。查询过后，这里会画出各项数据的变化。"));
    m_noHistory->setObjectName(QStringLiteral("NoHistoryLabel"));
    m_noHistory->setAlignment(Qt::AlignCenter);
    m_noHistory->setWordWrap(true);
    layout->addWidget(m_noHistory, 1);

    m_scroll = new QScrollArea;
    m_scroll->setWidgetResizable(true);
    layout->addWidget(m_scroll, 1);

    connect(m_range, &QComboBox::currentIndexChanged, this, &TrendWindow::Reload);
    connect(m_delete, &QPushButton::clicked, this, &TrendWindow::AskToDelete);
    Reload();
}

HistoryTime TrendWindow::RangeStart() const {
    const HistoryTime now = m_clock ? m_clock() : static_cast<HistoryTime>(std::time(nullptr));
    switch (static_cast<Range>(m_range->currentIndex())) {
        case Range::Days30:
            return now - 30 * kDay;
        case Range::Year:
            return now - 365 * kDay;
        case Range::All:
            break;
    }
    return 0;
}

void TrendWindow::SetRange(Range range) {
    m_range->setCurrentIndex(static_cast<int>(range));
}

void TrendWindow::Reload() {
    const auto entries = m_store.HostHistory(m_host);
    const HistoryTime from = RangeStart();
    const TrendData trend = BuildTrend(entries, from);
    const HistoryTime now = m_clock ? m_clock() : static_cast<HistoryTime>(std::time(nullptr));

    // Keep the reader's place when new values arrive.
    const int scrolled = m_content != nullptr ? m_scroll->verticalScrollBar()->value() : 0;
    m_content = new QWidget;
    auto* column = new QVBoxLayout(m_content);
    m_charts = 0;
    for (const TrendSeries& series : trend.series) {
        column->addWidget(MakeChart(series, from, now));
        ++m_charts;
    }
    if (!trend.textChanges.empty()) {
        auto* caption = new QLabel(ToQString("文字项的变化"));
        column->addWidget(caption);
        column->addWidget(MakeTextChanges(trend.textChanges));
    }
    column->addStretch(1);
    m_scroll->setWidget(m_content);  // deletes the previous content
    m_scroll->verticalScrollBar()->setValue(scrolled);

    const bool none = entries.empty();
    m_noHistory->setVisible(none);
    m_scroll->setVisible(!none);
    m_delete->setEnabled(!none);
    if (!none && m_charts == 0 && trend.textChanges.empty()) {
        // History exists, but not in the chosen range.
        column->insertWidget(0, new QLabel(ToQString("所选范围内没有记录。")));
    }
}

int TrendWindow::TextChangeCount() const {
    const auto* table = m_content != nullptr
                            ? m_content->findChild<QTableWidget*>(QStringLiteral("TextChanges"))
                            : nullptr;
    return table != nullptr ? table->rowCount() : 0;
}

bool TrendWindow::ShowsNoHistory() const {
    return !m_noHistory->isHidden();
}

void TrendWindow::AskToDelete() {
    const Text question = ConcatText({"删除 ", m_host, " 的全部历史记录？此操作不能撤销。"});
    if (m_box.Show(question, MessageBoxRoutine::kOkCancelInformation, "删除历史") !=
        MessageBoxRoutine::kResultOk) {
        return;
    }
    // The store deletes on its writer thread and then reports the host as written.
    m_store.DeleteHost(m_host);
}
