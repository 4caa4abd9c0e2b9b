#include "results/result_model.h"

#include <algorithm>

#include "platform/qt_text.h"

ResultModel::ResultModel(QObject* parent) : QAbstractTableModel(parent) {}

bool ResultModel::Contains(int row, int column) const {
    return row >= 0 && row < RowCount() && column >= 0 && column < kResultColumnCount;
}

int ResultModel::AppendRow() {
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
    beginRemoveRows({}, row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
}

void ResultModel::DeleteAllRows() {
    m_history.Clear();
    if (m_rows.empty()) return;
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

int ResultModel::DeleteRowsWhere(const std::function<bool(const Row&)>& drop) {
    const auto firstDropped = std::find_if(m_rows.begin(), m_rows.end(), drop);
    if (firstDropped == m_rows.end()) return 0;
    beginResetModel();
    const auto kept = std::remove_if(firstDropped, m_rows.end(), drop);
    const int removed = static_cast<int>(m_rows.end() - kept);
    m_rows.erase(kept, m_rows.end());
    endResetModel();
    return removed;
}

void ResultModel::AddCellNotes(const std::vector<NotedCell>& notes) {
    if (notes.empty()) return;
    for (const NotedCell& noted : notes) m_history.Note(noted.address, noted.column, noted.note);
    if (m_rows.empty()) return;
    Q_EMIT dataChanged(index(0, 0), index(RowCount() - 1, kResultColumnCount - 1),
                       {Qt::BackgroundRole, Qt::ToolTipRole, kCellTintRole});
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
    const Row& row = m_rows[static_cast<std::size_t>(index.row())];
    return m_history.Data(row[0], index.column(), row[static_cast<std::size_t>(index.column())],
                          role);
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
