#pragma once

#include <QStyledItemDelegate>

// How the result list draws and explains its cells: no focus rectangle around a single cell (the
// whole row is the unit), and a cell whose text does not fit its column shows the whole text as
// its tooltip. A tooltip that the model gives for a cell (Qt::ToolTipRole) follows that text.
class ResultCellDelegate final : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // True when the cell's text is cut at its column's edge (a text of several lines always is).
    bool IsClipped(const QStyleOptionViewItem& option, const QModelIndex& index) const;
    // The cell's tooltip as plain text: the whole text when clipped, then the model's own; empty
    // when there is neither.
    QString ToolTip(const QStyleOptionViewItem& option, const QModelIndex& index) const;

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};
