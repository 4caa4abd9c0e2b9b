#include "results/row_text.h"

#include <algorithm>

Text TabSeparatedRow(const ResultModel& model, int row,
                     const std::function<bool(int column)>& included) {
    if (row < 0 || row >= model.RowCount()) return {};
    Text line;
    bool first = true;
    for (int column = 0; column < kResultColumnCount; ++column) {
        if (!included(column)) continue;
        if (!first) line += '\t';
        first = false;
        Text cell = model.GetCell(row, column);
        // These bytes never occur inside a double-byte character of code page 936.
        std::replace_if(
            cell.begin(), cell.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; },
            ' ');
        line += cell;
    }
    return line;
}
