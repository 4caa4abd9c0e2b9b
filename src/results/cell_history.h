#pragma once

#include <QVariant>
#include <map>
#include <utility>

#include "common/text.h"

// How a cell's value stands to the value its host and figure had before the run.
enum class CellTint { Up, Down, Changed };

// The earlier value of a cell whose value changed: what the table shows beside the text.
struct CellNote {
    Text value;     // the value the note was made for; another text in the cell ends it
    Text previous;  // the earlier value, exactly as it was shown
    Text date;      // "YYYY-MM-DD" of its last sighting
    CellTint tint = CellTint::Changed;
};

// The role that gives a cell's CellTint as an int; invalid when the cell has no note.
inline constexpr int kCellTintRole = Qt::UserRole + 1;

// The history notes of the table's cells, by address and column, and the one place that
// turns them into roles: a tint (BackgroundRole) and "上次：VALUE（DATE）" (ToolTipRole).
// A note counts only while the cell still shows the value it was made for.
class CellHistory final {
  public:
    void Note(const Text& address, int column, CellNote note);
    void Clear() { m_notes.clear(); }
    bool Empty() const { return m_notes.empty(); }

    // The role's value for the cell, or an invalid QVariant when history has nothing to say.
    QVariant Data(const Text& address, int column, const Text& cell, int role) const;

    // "上次：VALUE（YYYY-MM-DD）".
    static Text ToolTip(const CellNote& note);

  private:
    std::map<std::pair<Text, int>, CellNote> m_notes;
};
