#include "batch/headless_run_window.h"

#include "query/query_run.h"

HeadlessRunWindow::HeadlessRunWindow(std::array<bool, 13> ticks, Text countCaption,
                                     Progress progress)
    : m_ticks(ticks), m_progress(std::move(progress)) {
    m_captions[Control::CountLabel] = std::move(countCaption);
}

Text HeadlessRunWindow::Caption(Control control) {
    std::lock_guard lock(m_mutex);
    const auto found = m_captions.find(control);
    return found == m_captions.end() ? Text() : found->second;
}

void HeadlessRunWindow::SetCaption(Control control, const Text& caption) {
    std::lock_guard lock(m_mutex);
    m_captions[control] = caption;
}

bool HeadlessRunWindow::IsMetricTicked(int column) {
    return column >= 1 && column <= 12 && m_ticks[static_cast<std::size_t>(column)];
}

void HeadlessRunWindow::DeleteAllRows() {
    std::lock_guard lock(m_mutex);
    m_rows.clear();
}

int HeadlessRunWindow::AppendRow() {
    std::lock_guard lock(m_mutex);
    m_rows.emplace_back();
    return static_cast<int>(m_rows.size()) - 1;
}

void HeadlessRunWindow::SetCell(int row, int column, const Text& text) {
    std::lock_guard lock(m_mutex);
    if (row < 0 || static_cast<std::size_t>(row) >= m_rows.size() || column < 0 ||
        column >= kResultColumnCount) {
        return;
    }
    m_rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = text;
}

int HeadlessRunWindow::RowCount() {
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_rows.size());
}

void HeadlessRunWindow::SetProgressMaximum(int maximum) {
    std::lock_guard lock(m_mutex);
    m_progressMaximum = maximum;
}

int HeadlessRunWindow::ProgressPosition() {
    std::lock_guard lock(m_mutex);
    return m_progressPosition;
}

void HeadlessRunWindow::SetProgressPosition(int position) {
    int total = 0;
    bool advanced = false;
    {
        std::lock_guard lock(m_mutex);
        advanced = position > m_progressPosition;
        m_progressPosition = position;
        if (advanced) m_hostsDone = position;
        total = m_progressMaximum;
    }
    if (advanced && m_progress) m_progress(position, total);
}

std::vector<HeadlessRunWindow::Row> HeadlessRunWindow::Rows() const {
    std::lock_guard lock(m_mutex);
    return m_rows;
}

bool HeadlessRunWindow::Completed() const {
    std::lock_guard lock(m_mutex);
    const auto found = m_captions.find(Control::StatusLabel);
    return found != m_captions.end() && CompareText(found->second, kDoneStatus) == 0;
}

int HeadlessRunWindow::HostsDone() const {
    std::lock_guard lock(m_mutex);
    return m_hostsDone;
}
