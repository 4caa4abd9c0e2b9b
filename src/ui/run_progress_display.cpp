#include "ui/run_progress_display.h"

#include <QEvent>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <algorithm>
#include <string>
#include <utility>

#include "platform/qt_text.h"
#include "query/metric_catalogue.h"
#include "query/query_run.h"
#include "results/result_model.h"
#include "ui/main_window.h"
#include "ui/program_texts.h"

namespace {

Text TwoDigits(long long value) {
    return value < 10 ? "0" + std::to_string(value) : std::to_string(value);
}

}  // namespace

Text DurationText(std::chrono::seconds duration) {
    const long long total = std::max<long long>(0, duration.count());
    const long long hours = total / 3600;
    const long long minutes = total % 3600 / 60;
    const long long seconds = total % 60;
    if (hours > 0) {
        return ConcatText({std::to_string(hours), kHoursUnit, TwoDigits(minutes), kMinutesUnit});
    }
    if (minutes > 0) {
        return ConcatText(
            {std::to_string(minutes), kMinutesUnit, TwoDigits(seconds), kSecondsUnit});
    }
    return ConcatText({std::to_string(seconds), kSecondsUnit});
}

RunProgressDisplay::RunProgressDisplay(MainWindow& window, Clock now, int summaryMs)
    : QObject(&window), m_window(window), m_now(std::move(now)), m_summaryShown(new QTimer(this)) {
    m_summaryShown->setSingleShot(true);
    m_summaryShown->setInterval(summaryMs);
    connect(m_summaryShown, &QTimer::timeout, this, &RunProgressDisplay::RestoreFooter);

    QProgressBar* bar = window.ProgressBar();
    bar->setAlignment(Qt::AlignCenter);
    bar->installEventFilter(this);
    connect(bar, &QProgressBar::valueChanged, this, &RunProgressDisplay::HostDone);
    connect(&window.Results(), &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) {
                if (m_running) m_hosts += last - first + 1;
            });
    connect(&window.Results(), &QAbstractItemModel::dataChanged, this,
            &RunProgressDisplay::CountCells);
}

bool RunProgressDisplay::ShowingSummary() const {
    return m_summaryShown->isActive();
}

bool RunProgressDisplay::eventFilter(QObject* watched, QEvent* event) {
    // The run shows and hides the bar itself; the bar's show and hide events also come with the
    // window's, which isHidden() does not follow.
    if (event->type() == QEvent::Show || event->type() == QEvent::Hide) {
        const bool shown = !m_window.ProgressBar()->isHidden();
        if (shown && !m_running) RunStarted();
        if (!shown && m_running) RunEnded();
    }
    return QObject::eventFilter(watched, event);
}

void RunProgressDisplay::RunStarted() {
    m_running = true;
    m_started = m_now();
    m_pace.Start(m_started);
    m_hosts = 0;
    m_failedCells = 0;
    RestoreFooter();
    QProgressBar* bar = m_window.ProgressBar();
    bar->setFormat(QStringLiteral("%v/%m"));
    bar->setTextVisible(true);
}

void RunProgressDisplay::HostDone(int position) {
    // The run sets the position back to 0 once it has ended.
    if (!m_running || position <= 0) return;
    m_pace.HostDone(m_now());
    QProgressBar* bar = m_window.ProgressBar();
    QString format = QStringLiteral("%v/%m");
    if (const auto left = m_pace.TimeLeft(bar->maximum() - position)) {
        const Text leftText = ConcatText({"  ", kTimeLeft, DurationText(*left)});
        format += ToQString(leftText).replace(QLatin1Char('%'), QStringLiteral("%%"));
    }
    bar->setFormat(format);
}

void RunProgressDisplay::CountCells(const QModelIndex& topLeft, const QModelIndex& bottomRight) {
    if (!m_running) return;
    const ResultModel& model = m_window.Results();
    for (int row = topLeft.row(); row <= bottomRight.row(); ++row) {
        for (int column = std::max(1, topLeft.column()); column <= bottomRight.column(); ++column) {
            const Text cell = model.GetCell(row, column);
            // Only looked-up cells are written during a run: empty means no usable reply.
            if (cell.empty() || cell == kFailMark) ++m_failedCells;
        }
    }
}

void RunProgressDisplay::RunEnded() {
    m_running = false;
    QProgressBar* bar = m_window.ProgressBar();
    bar->setTextVisible(false);
    bar->setFormat(QStringLiteral("%p%"));
    const bool stopped = FromQString(m_window.RunStateLabel()->text()) == kRunStateStop;
    const auto took = std::chrono::duration_cast<std::chrono::seconds>(m_now() - m_started);
    const Text summary = ConcatText(
        {stopped ? kRunSummaryStoppedStart : kRunSummaryStart, std::to_string(m_hosts),
         kRunSummaryHosts, std::to_string(m_failedCells), kRunSummaryFailed, DurationText(took)});
    m_window.FooterLabel()->setText(ToQString(summary));
    m_summaryShown->start();
}

void RunProgressDisplay::RestoreFooter() {
    m_summaryShown->stop();
    m_window.FooterLabel()->setText(ToQString(Text(kFooterText)));
}
