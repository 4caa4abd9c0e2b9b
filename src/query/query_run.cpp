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
int ProgressMaximum(const Text& countCaption) {
    const double count = std::trunc(TextToNumber(countCaption));
    if (!(count > 0)) return 0;
    if (count >= static_cast<double>(std::numeric_limits<int>::max())) {
        return std::numeric_limits<int>::max();
    }
    return static_cast<int>(count);
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

    m_window.HideUntickedColumns();
    m_window.SetMetricChecksEnabled(false);
    m_window.DeleteAllRows();
    m_window.SetCaption(Control::RunStateLabel, Text(kRunStateRunning));
    SetRunControlsEnabled(true);

    m_window.SetProgressVisible(true);
    m_window.SetProgressMaximum(ProgressMaximum(m_window.Caption(Control::CountLabel)));

    // Read afresh: the loop covers the file as it is now, even if CountLabel is older.
    const auto addresses = m_addresses.ReadAddressList();
    int index = 0;
    for (const Text& address : addresses) {
        ++index;
        m_window.SetCaption(Control::StatusLabel,
                            QueryStatusText(index, m_window.Caption(Control::CountLabel), address));
        const int row = m_window.AppendRow();
        m_window.SetCell(row, 0, address);
        if (StopRequested()) break;
        LookUpColumns(row, address, 1, 9);
        if (StopRequested()) break;
        LookUpColumns(row, address, 10, 12);
        if (StopRequested()) break;
        m_window.SetProgressPosition(m_window.ProgressPosition() + 1);
        m_pause();
        m_window.ScrollToRow(m_window.RowCount() - 1);
    }

    m_window.SetProgressVisible(false);
    if (StopRequested()) {
        m_window.SetCaption(Control::StopButton, Text(kStopCaption));
        m_window.SetCaption(Control::StatusLabel, Text(kStoppedStatus));
    } else {
        m_window.SetCaption(Control::StatusLabel, Text(kDoneStatus));
        m_window.ShowMessage(Text(kDoneMessage));
    }
    SetRunControlsEnabled(false);
    m_window.SetMetricChecksEnabled(true);
    m_window.SetProgressPosition(0);
}

bool QueryRun::StopRequested() {
    return CompareText(m_window.Caption(Control::RunStateLabel), kRunStateStop) == 0;
}

void QueryRun::LookUpColumns(int row, const Text& address, int firstColumn, int lastColumn) {
    // The ticks are read afresh for every group, in one call: the boxes are disabled while a
    // run goes on, so reading them box by box would only cost window round trips.
    const auto ticks = m_window.MetricTicks();
    for (int column = firstColumn; column <= lastColumn; ++column) {
        if (!ticks[static_cast<std::size_t>(column)]) continue;
        const Metric& metric = kMetricCatalogue[static_cast<std::size_t>(column - 1)];
        m_window.SetCell(row, column, m_lookup.LookupMetric(metric, address));
    }
}

void QueryRun::SetRunControlsEnabled(bool running) {
    for (const Control control : kDisabledWhileRunning) m_window.SetEnabled(control, !running);
    m_window.SetEnabled(Control::StopButton, running);
}

void RequestStop(RunWindow& window) {
    window.SetCaption(Control::StopButton, Text(kStoppingCaption));
    window.SetCaption(Control::StatusLabel, Text(kStoppingStatus));
    window.SetCaption(Control::RunStateLabel, Text(kRunStateStop));
}
