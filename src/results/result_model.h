#pragma once

#include <QAbstractTableModel>
#include <array>
#include <functional>
#include <vector>

#include "common/text.h"
#include "results/result_columns.h"

// The result table's only store: rows of thirteen texts, in insertion order. Out-of-range
// indexes are answered quietly: writes and deletes do nothing, reads give the empty text.
class ResultModel final : public QAbstractTableModel {
    Q_OBJECT

  public:
    using Row = std::array<Text, kResultColumnCount>;

    explicit ResultModel(QObject* parent = nullptr);

    int AppendRow();  // the new row's index
    void SetCell(int row, int column, const Text& text);
    Text GetCell(int row, int column) const;
    int RowCount() const { return static_cast<int>(m_rows.size()); }
    // These forget the rows kept for RestoreRemovedRows: the table has changed otherwise.
    void DeleteRow(int row);
    void DeleteAllRows();

    // Deletes every row for which `drop` is true, in one pass with one view update; the
    // order of the rows that stay is kept. The rows that went are kept, with their places,
    // for RestoreRemovedRows (replacing any kept before). Returns how many rows went.
    int DeleteRowsWhere(const std::function<bool(const Row&)>& drop);

    // Puts the rows that the last DeleteRowsWhere took back at their places, with one view
    // update, and forgets them: a removal is restored once. Returns how many rows came back.
    int RestoreRemovedRows();
    bool CanRestoreRemovedRows() const { return m_canRestore; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  Q_SIGNALS:
    void canRestoreChanged(bool canRestore);

  private:
    bool Contains(int row, int column) const;
    void ForgetRemovedRows();
    void SetCanRestore(bool canRestore);

    std::vector<Row> m_rows;
    // The rows the last DeleteRowsWhere took, and their places then, in ascending order.
    std::vector<Row> m_removedRows;
    std::vector<int> m_removedPlaces;
    bool m_canRestore = false;
};
