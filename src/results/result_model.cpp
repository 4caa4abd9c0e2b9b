#include "results/result_model.h"

#include <algorithm>

#include "platform/qt_text.h"

ResultModel::ResultModel(QObject* parent) : QAbstractTableModel(parent) {}

bool ResultModel::Contains(int row, int column) const {
    return row >= 0 && row < RowCount() && column >= 0 && column < kResultColumnCount;
}

int ResultModel::AppendRow() {
    ForgetRemovedRows();
    const int row = RowCount();
    beginInsertRows({}, row, row);
    m_rows.emplace_back();
    endInsertRows();
    return row;
}

void ResultModel::SetCell(int row, int column, const Text& text) {
    if (!Contains(row, column)) return;
    m_rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = text;
    const QModelIndex cell = index(row, column);
    Q_EMIT dataChanged(cell, cell, {Qt::DisplayRole});
}

Text ResultModel::GetCell(int row, int column) const {
    if (!Contains(row, column)) return {};
    return m_rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

void ResultModel::DeleteRow(int row) {
    if (row < 0 || row >= RowCount()) return;
    ForgetRemovedRows();
    beginRemoveRows({}, row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
}

void ResultModel::DeleteAllRows() {
    ForgetRemovedRows();
    if (m_rows.empty()) return;
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

int ResultModel::DeleteRowsWhere(const std::function<bool(const Row&)>& drop) {
    const auto firstDropped = std::find_if(m_rows.begin(), m_rows.end(), drop);
    if (firstDropped == m_rows.end()) return 0;
    beginResetModel();
    m_removedRows.clear();
    m_removedPlaces.clear();
    // One pass: the rows that stay move up, the others move to the kept removal.
    auto kept = firstDropped;
    for (auto row = firstDropped; row != m_rows.end(); ++row) {
        if (drop(*row)) {
            m_removedPlaces.push_back(static_cast<int>(row - m_rows.begin()));
            m_removedRows.push_back(std::move(*row));
        } else {
            *kept++ = std::move(*row);
        }
    }
    m_rows.erase(kept, m_rows.end());
    endResetModel();
    SetCanRestore(true);
    return static_cast<int>(m_removedRows.size());
}

int ResultModel::RestoreRemovedRows() {
    if (!m_canRestore) return 0;
    const int restored = static_cast<int>(m_removedRows.size());
    beginResetModel();
    if (m_rows.empty()) {
        // Everything had gone (a clear): the kept rows are the table as it was.
        m_rows.swap(m_removedRows);
        endResetModel();
        ForgetRemovedRows();
        return restored;
    }
    // Merge from the back: every row moves to its place at or after the one it holds now.
    std::size_t stayed = m_rows.size();
    std::size_t removed = m_removedRows.size();
    m_rows.resize(stayed + removed);
    for (std::size_t place = m_rows.size(); removed > 0 && place-- > 0;) {
        if (static_cast<std::size_t>(m_removedPlaces[removed - 1]) == place) {
            m_rows[place] = std::move(m_removedRows[--removed]);
        } else {
            m_rows[place] = std::move(m_rows[--stayed]);
        }
    }
    endResetModel();
    ForgetRemovedRows();
    return restored;
}

void ResultModel::ForgetRemovedRows() {
    m_removedRows.clear();
    m_removedRows.shrink_to_fit();
    m_removedPlaces.clear();
    m_removedPlaces.shrink_to_fit();
    SetCanRestore(false);
}

void ResultModel::SetCanRestore(bool canRestore) {
    if (m_canRestore == canRestore) return;
    m_canRestore = canRestore;
    Q_EMIT canRestoreChanged(canRestore);
}

int ResultModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : RowCount();
}

int ResultModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kResultColumnCount;
}

QVariant ResultModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !Contains(index.row(), index.column())) return {};
    if (role == Qt::DisplayRole) return ToQString(GetCell(index.row(), index.column()));
    if (role == Qt::TextAlignmentRole) {
        const bool centred = kResultColumns[static_cast<std::size_t>(index.column())].centred;
        return QVariant::fromValue(Qt::AlignVCenter | (centred ? Qt::AlignHCenter : Qt::AlignLeft));
    }
    return {};
}

QVariant ResultModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kResultColumnCount) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    const ResultColumn& column = kResultColumns[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole) return ToQString(Text(column.title));
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(Qt::AlignVCenter |
                                   (column.centred ? Qt::AlignHCenter : Qt::AlignLeft));
    }
    return {};
}

Qt::ItemFlags ResultModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}
