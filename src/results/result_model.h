#pragma once

#include <QAbstractTableModel>
#include <array>
#include <functional>
#include <vector>

#include "common/text.h"
#include "results/cell_history.h"
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
    void DeleteRow(int row);
    void DeleteAllRows();

    // Deletes every row for which `drop` is true, in one pass with one view update; the
    // order of the rows that stay is kept. Returns how many rows went.
    int DeleteRowsWhere(const std::function<bool(const Row&)>& drop);

    // Earlier values from the history: tints and tooltips of the cells they fit. They go
    // with the rows when the table is emptied; the cells' texts never change.
    struct NotedCell {
        Text address;
        int column;
        CellNote note;
    };
    void AddCellNotes(const std::vector<NotedCell>& notes);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  private:
    bool Contains(int row, int column) const;

    std::vector<Row> m_rows;
    CellHistory m_history;
};
