#include "query/query_run.h"

#include <cmath>
#include <limits>

#include "addresses/address_file.h"
#include "query/metric_catalogue.h"
#include "query/metric_lookup.h"
#include "query/run_window.h"

namespace {

using Control = RunWindow::Control;

constexpr Control kDisabledWhileRunning[] = {
    Control::StartButton,    Control::WeightFilterButton, Control::ExportButton,
    Control::PrFilterButton, Control::ClearListButton,    Control::EditAddressesButton,
};

// The count caption truncated toward zero; the bar takes any int, so only clamp to its range.
// At least 1: a bar of range 0..0 is drawn as a busy animation, not as an empty bar.
int ProgressMaximum(const Text& countCaption) {
    const double count = std::trunc(TextToNumber(countCaption));
    if (!(count > 1)) return 1;
    if (count >= static_cast<double>(std::numeric_limits<int>::max())) {
        return std::numeric_limits<int>::max();
    }
    return static_cast<int>(count);
}

bool StopRequested(RunWindow& window) {
    return CompareText(window.Caption(Control::RunStateLabel), kRunStateStop) == 0;
}

// The boxes are disabled while a run goes on; they are read afresh for each group of lookups.
std::array<bool, 13> MetricTicks(RunWindow& window) {
    std::array<bool, 13> ticks{};
    for (int column = 1; column <= 12; ++column) {
        ticks[static_cast<std::size_t>(column)] = window.IsMetricTicked(column);
    }
    return ticks;
}

void SetRunControlsEnabled(RunWindow& window, bool running) {
    for (const Control control : kDisabledWhileRunning) window.SetEnabled(control, !running);
    window.SetEnabled(Control::StopButton, running);
}

}  // namespace

Text QueryStatusText(int index, const Text& count, const Text& address) {
    return ConcatText({"正在查询：（", IntToText(index), "/", count, "）", address});
}

QueryRun::QueryRun(RunWindow& window, const AddressFile& addresses, MetricLookup& lookup,
                   Pause pause)
    : m_window(window), m_addresses(addresses), m_lookup(lookup), m_pause(std::move(pause)) {}

void QueryRun::Run() {
    // The run goes on with an empty list: it then ends at once with the usual message.
    if (!m_addresses.Exists()) m_window.ShowMessage(Text(kNoAddressesMessage));

    // Window accesses with no work of the worker between them go together: each takes effect
    // in order before the worker goes on, with one visit to the window's thread.
    m_window.Together([](RunWindow& w) {
        w.HideUntickedColumns();
        w.SetMetricChecksEnabled(false);
        w.DeleteAllRows();
        w.SetCaption(Control::RunStateLabel, Text(kRunStateRunning));
        // A stop pressed too late for the last run must not leave its caption on this one.
        w.SetCaption(Control::StopButton, Text(kStopCaption));
        SetRunControlsEnabled(w, true);
        w.SetProgressVisible(true);
        w.SetProgressMaximum(ProgressMaximum(w.Caption(Control::CountLabel)));
    });

    // Read afresh: the loop covers the file as it is now, even if CountLabel is older.
    const auto addresses = m_addresses.ReadAddressList();
    // The scroll that ends an address goes together with what follows it.
    bool scrollPending = false;
    const auto scrollToLastRow = [&scrollPending](RunWindow& w) {
        if (scrollPending) w.ScrollToRow(w.RowCount() - 1);
        scrollPending = false;
    };
    int index = 0;
    for (const Text& address : addresses) {
        ++index;
        int row = 0;
        std::array<bool, 13> ticks{};
        // Each check sets `stop`; it stays true when the window skipped the steps.
        bool stop = true;
        m_window.Together([&](RunWindow& w) {
            scrollToLastRow(w);
            w.SetCaption(Control::StatusLabel,
                         QueryStatusText(index, w.Caption(Control::CountLabel), address));
            row = w.AppendRow();
            w.SetCell(row, 0, address);
            stop = StopRequested(w);
            if (!stop) ticks = MetricTicks(w);
        });
        if (stop) break;
        // The boxes stay as they are for the run, so the first address's ticks are the run's.
        if (index == 1) m_lookup.PlanRun(addresses, ticks);
        stop = true;
        LookUpGroup(row, address, ticks, 1, 9, [&](RunWindow& w) {
            stop = StopRequested(w);
            if (!stop) ticks = MetricTicks(w);
        });
        if (stop) break;
        stop = true;
        LookUpGroup(row, address, ticks, 10, 12, [&](RunWindow& w) {
            stop = StopRequested(w);
            if (!stop) w.SetProgressPosition(w.ProgressPosition() + 1);
        });
        if (stop) break;
        m_pause();
        scrollPending = true;
    }

    bool stopped = true;
    m_window.Together([&](RunWindow& w) {
        scrollToLastRow(w);
        w.SetProgressVisible(false);
        stopped = StopRequested(w);
        if (stopped) {
            w.SetCaption(Control::StopButton, Text(kStopCaption));
            w.SetCaption(Control::StatusLabel, Text(kStoppedStatus));
        } else {
            w.SetCaption(Control::StatusLabel, Text(kDoneStatus));
            // The run has ended: no stop can be asked for while its final message is open.
            w.SetEnabled(Control::StopButton, false);
        }
    });
    if (!stopped) m_window.ShowMessage(Text(kDoneMessage));
    m_window.Together([](RunWindow& w) {
        SetRunControlsEnabled(w, false);
        w.SetMetricChecksEnabled(true);
        w.SetProgressPosition(0);
    });
}

void QueryRun::LookUpGroup(int row, const Text& address, std::array<bool, 13> ticks,
                           int firstColumn, int lastColumn, const Steps& after) {
    int lastTicked = 0;
    for (int column = firstColumn; column <= lastColumn; ++column) {
        if (ticks[static_cast<std::size_t>(column)]) lastTicked = column;
    }
    if (lastTicked == 0) {
        m_window.Together(after);
        return;
    }
    // Each cell is written as soon as its reply is in; the group's last write and what
    // follows it go together. `ticks` is a copy: `after` may read the boxes anew.
    for (int column = firstColumn; column <= lastTicked; ++column) {
        if (!ticks[static_cast<std::size_t>(column)]) continue;
        const Metric& metric = kMetricCatalogue[static_cast<std::size_t>(column - 1)];
        const Text cell = m_lookup.LookupMetric(metric, address);
        m_window.Together([&](RunWindow& w) {
            w.SetCell(row, column, cell);
            if (column == lastTicked) after(w);
        });
    }
}

void RequestStop(RunWindow& window) {
    window.SetCaption(Control::StopButton, Text(kStoppingCaption));
    window.SetCaption(Control::StatusLabel, Text(kStoppingStatus));
    window.SetCaption(Control::RunStateLabel, Text(kRunStateStop));
}
