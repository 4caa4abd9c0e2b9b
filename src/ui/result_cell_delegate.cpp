#include "ui/result_cell_delegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QToolTip>
#include <algorithm>

namespace {

// A reply may be megabytes long; a tooltip shows its beginning, in lines of a readable length.
constexpr qsizetype kMaxTipChars = 1024;
constexpr qsizetype kTipLineChars = 60;

// The text exactly as it is (a page title may look like markup), cut into lines of at most
// kTipLineChars characters and wrapped nowhere else.
QString PlainTip(const QString& text) {
    QStringList lines;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        qsizetype start = 0;
        do {
            qsizetype length = std::min(kTipLineChars, paragraph.size() - start);
            // Never between the two halves of a character outside the basic plane.
            if (start + length < paragraph.size() &&
                paragraph.at(start + length).isLowSurrogate()) {
                --length;
            }
            lines.append(paragraph.mid(start, length).toHtmlEscaped());
            start += length;
        } while (start < paragraph.size());
    }
    return QStringLiteral("<p style='white-space:pre'>") + lines.join(QStringLiteral("<br>")) +
           QStringLiteral("</p>");
}

}  // namespace

void ResultCellDelegate::initStyleOption(QStyleOptionViewItem* option,
                                         const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    option->state &= ~QStyle::State_HasFocus;
}

bool ResultCellDelegate::IsClipped(const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    if (cell.text.isEmpty()) return false;
    if (cell.text.contains(QLatin1Char('\n'))) return true;
    const QWidget* widget = cell.widget;
    const QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &cell, widget);
    // The margin the style leaves on both sides when it draws an item's text.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    return cell.fontMetrics.horizontalAdvance(cell.text) > textRect.width() - 2 * margin;
}

QString ResultCellDelegate::ToolTip(const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
    QStringList parts;
    if (IsClipped(option, index)) {
        QString text = index.data(Qt::DisplayRole).toString();
        if (text.size() > kMaxTipChars) text = text.left(kMaxTipChars) + QChar(0x2026);
        parts.append(text);
    }
    const QString own = index.data(Qt::ToolTipRole).toString();
    if (!own.isEmpty()) parts.append(own);
    return parts.join(QLatin1Char('\n'));
}

bool ResultCellDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                   const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (event == nullptr || view == nullptr || event->type() != QEvent::ToolTip) {
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    }
    const QString tip = ToolTip(option, index);
    if (tip.isEmpty()) {
        QToolTip::hideText();
        return true;
    }
    QToolTip::showText(event->globalPos(), PlainTip(tip), view->viewport(),
                       view->visualRect(index));
    return true;
}
