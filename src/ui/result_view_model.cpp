#include "ui/result_view_model.h"

#include <algorithm>

#include "results/result_model.h"

ResultViewModel::ResultViewModel(ResultModel& source, QObject* parent)
    : QAbstractTableModel(parent), m_source(source), m_shown(source.RowCount()) {
    connect(&m_source, &QAbstractItemModel::rowsInserted, this,
            &ResultViewModel::SourceRowsInserted);
    connect(&m_source, &QAbstractItemModel::dataChanged, this, &ResultViewModel::SourceDataChanged);
    connect(&m_source, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this](const QModelIndex&, int first, int last) {
                ShowHeldRows();
                beginRemoveRows({}, first, last);
            });
    connect(&m_source, &QAbstractItemModel::rowsRemoved, this,
            [this](const QModelIndex&, int first, int last) {
                m_shown -= last - first + 1;
                endRemoveRows();
            });
    connect(&m_source, &QAbstractItemModel::modelAboutToBeReset, this,
            [this] { beginResetModel(); });
    connect(&m_source, &QAbstractItemModel::modelReset, this, [this] {
        m_shown = m_source.RowCount();
        endResetModel();
    });
}

void ResultViewModel::Release() {
    m_holding = false;
    ShowHeldRows();
}

void ResultViewModel::ShowHeldRows() {
    const int total = m_source.RowCount();
    if (m_shown >= total) return;
    beginInsertRows({}, m_shown, total - 1);
    m_shown = total;
    endInsertRows();
}

void ResultViewModel::SourceRowsInserted() {
    if (!m_holding) ShowHeldRows();
}

void ResultViewModel::SourceDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                        const QList<int>& roles) {
    // Cells of held rows are read when those rows are shown.
    if (topLeft.row() >= m_shown) return;
    const int lastRow = std::min(bottomRight.row(), m_shown - 1);
    Q_EMIT dataChanged(index(topLeft.row(), topLeft.column()), index(lastRow, bottomRight.column()),
                       roles);
}

int ResultViewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_shown;
}

int ResultViewModel::columnCount(const QModelIndex& parent) const {
    return m_source.columnCount(parent);
}

QVariant ResultViewModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_shown) return {};
    return m_source.data(m_source.index(index.row(), index.column()), role);
}

QVariant ResultViewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    return m_source.headerData(section, orientation, role);
}

Qt::ItemFlags ResultViewModel::flags(const QModelIndex& index) const {
    if (!index.isValid() || index.row() >= m_shown) return Qt::NoItemFlags;
    return m_source.flags(m_source.index(index.row(), index.column()));
}
