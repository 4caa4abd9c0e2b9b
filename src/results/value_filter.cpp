#include "results/value_filter.h"

bool CellMatchesAny(std::string_view cell, const std::vector<Text>& values) {
    for (const Text& value : values) {
        if (FindText(cell, value) != -1) return true;
    }
    return false;
}

int ValueFilter(ResultModel& model, const Text& field, const ValueFilterSettings& settings,
                MessageBoxRoutine& box) {
    // Splitting an empty field gives no values, which would delete every row: refuse instead.
    if (field.empty()) {
        box.Show(Text(settings.emptyMessage));
        return 0;
    }
    const std::vector<Text> values = SplitText(field, " ");
    const auto column = static_cast<std::size_t>(settings.column);
    return model.DeleteRowsWhere(
        [&](const ResultModel::Row& row) { return !CellMatchesAny(row[column], values); });
}
