#include "ui/result_list.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimer>

#include "results/result_columns.h"
#include "results/result_model.h"
#include "ui/result_cell_delegate.h"
#include "ui/result_view_model.h"

namespace {

// How long new rows may wait to be shown while a worker appends them.
constexpr int kCatchUpMs = 40;

}  // namespace

ResultList::ResultList(ResultModel& model, QWidget* parent)
    : QTableView(parent),
      m_model(model),
      m_shown(new ResultViewModel(model, this)),
      m_catchUp(new QTimer(this)) {
    setModel(m_shown);
    setItemDelegate(new ResultCellDelegate(this));

    setSortingEnabled(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);

    ShowSelection(false);

    QHeaderView* header = horizontalHeader();
    header->setSectionsClickable(false);
    header->setSectionsMovable(false);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(0);
    header->setSectionResizeMode(QHeaderView::Interactive);
    for (int column = 0; column < kResultColumnCount; ++column) {
        header->resizeSection(column, kResultColumns[static_cast<std::size_t>(column)].width);
    }

    QHeaderView* rows = verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(1);
    rows->setDefaultSectionSize(fontMetrics().height() + 6);

    m_catchUp->setSingleShot(true);
    m_catchUp->setInterval(kCatchUpMs);
    connect(m_catchUp, &QTimer::timeout, this, &ResultList::CatchUp);
}

void ResultList::ScrollToRow(int row) {
    if (row < 0 || row >= m_model.RowCount()) return;
    m_shown->ShowHeldRows();
    QScrollBar* across = horizontalScrollBar();
    const int keep = across->value();
    scrollTo(m_shown->index(row, 0), QAbstractItemView::EnsureVisible);
    across->setValue(keep);
}

void ResultList::SetColumnWidth(int column, int width) {
    if (column < 0 || column >= kResultColumnCount) return;
    if (width <= 0) {
        setColumnHidden(column, true);
        return;
    }
    setColumnHidden(column, false);
    setColumnWidth(column, width);
}

int ResultList::ColumnWidth(int column) const {
    if (column < 0 || column >= kResultColumnCount) return 0;
    return columnWidth(column);
}

int ResultList::SelectedRow() const {
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void ResultList::HideUntickedColumns(const std::function<bool(int)>& isTicked) {
    for (int column = 1; column < kResultColumnCount; ++column) {
        if (!isTicked(column)) SetColumnWidth(column, 0);
    }
}

void ResultList::DeferNewRows() {
    if (m_catchUp->isActive()) return;
    m_shown->Hold();
    m_catchUp->start();
}

void ResultList::ScrollToRowDeferred(int row) {
    DeferNewRows();
    m_pendingScrollRow = row;
}

void ResultList::CatchUp() {
    m_shown->Release();
    if (m_pendingScrollRow >= 0) ScrollToRow(m_pendingScrollRow);
    m_pendingScrollRow = -1;
}

void ResultList::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::RightButton) {
        QTableView::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    const QModelIndex under = indexAt(event->position().toPoint());
    if (under.isValid()) {
        selectionModel()->setCurrentIndex(
            under, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    } else {
        selectionModel()->clearSelection();
    }
    event->accept();
    Q_EMIT rowMenuRequested(event->globalPosition().toPoint());
}

void ResultList::keyPressEvent(QKeyEvent* event) {
    // The whole selected row, not the current cell that the view would copy.
    if (event->matches(QKeySequence::Copy)) {
        event->accept();
        Q_EMIT copyRequested();
        return;
    }
    QTableView::keyPressEvent(event);
}

void ResultList::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    ShowSelection(true);
}

void ResultList::focusOutEvent(QFocusEvent* event) {
    QTableView::focusOutEvent(event);
    ShowSelection(false);
}

// The selection stays in the selection model; without the focus it is drawn in the
// ordinary colours, so it cannot be seen.
void ResultList::ShowSelection(bool shown) {
    QPalette colours = palette();
    const QPalette standard = QApplication::palette(this);
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        colours.setColor(group, QPalette::Base, Qt::white);
        colours.setColor(group, QPalette::Text, Qt::black);
        colours.setColor(group, QPalette::Highlight,
                         shown ? standard.color(group, QPalette::Highlight) : QColor(Qt::white));
        colours.setColor(
            group, QPalette::HighlightedText,
            shown ? standard.color(group, QPalette::HighlightedText) : QColor(Qt::black));
    }
    setPalette(colours);
}
