#include "results/cell_history.h"

#include <QBrush>
#include <QColor>

#include "platform/qt_text.h"

namespace {

QColor Tint(CellTint tint) {
    switch (tint) {
        case CellTint::Up:
            return {0xd6, 0xf0, 0xcc};  // light green
        case CellTint::Down:
            return {0xf6, 0xd2, 0xd0};  // light red
        case CellTint::Changed:
            break;
    }
    return {0xfb, 0xee, 0xb8};  // light amber
}

}  // namespace

void CellHistory::Note(const Text& address, int column, CellNote note) {
    m_notes[{address, column}] = std::move(note);
}

Text CellHistory::ToolTip(const CellNote& note) {
    return ConcatText({"上次：", note.previous, "（", note.date, "）"});
}

QVariant CellHistory::Data(const Text& address, int column, const Text& cell, int role) const {
    if (role != Qt::BackgroundRole && role != Qt::ToolTipRole && role != kCellTintRole) return {};
    if (m_notes.empty()) return {};
    const auto found = m_notes.find({address, column});
    if (found == m_notes.end() || found->second.value != cell) return {};
    const CellNote& note = found->second;
    if (role == Qt::BackgroundRole) return QBrush(Tint(note.tint));
    if (role == Qt::ToolTipRole) return ToQString(ToolTip(note));
    return static_cast<int>(note.tint);
}
