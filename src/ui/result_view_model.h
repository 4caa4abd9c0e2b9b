#pragma once

#include <QAbstractTableModel>

class ResultModel;

// What the result list shows of a ResultModel: the same rows and cells, except that while
// held, rows appended to the model are shown only at the next Release, in one insertion.
// A view thus re-lays out once per batch instead of once per row; deletions and resets pass
// at once (after the held rows), so the view never shows a row the model no longer has.
class ResultViewModel final : public QAbstractTableModel {
    Q_OBJECT

  public:
    explicit ResultViewModel(ResultModel& source, QObject* parent = nullptr);

    void Hold() { m_holding = true; }
    void Release();
    // Shows the held rows now and goes on holding.
    void ShowHeldRows();
    bool Holding() const { return m_holding; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  private:
    void SourceRowsInserted();
    void SourceDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                           const QList<int>& roles);

    ResultModel& m_source;
    int m_shown = 0;
    bool m_holding = false;
};
