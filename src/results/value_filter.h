#pragma once

#include <string_view>
#include <vector>

#include "common/message_box.h"
#include "common/text.h"
#include "results/result_model.h"

// One of the two filters of the filter group: the column it looks at and the message shown
// when its field is empty.
struct ValueFilterSettings {
    int column;
    std::string_view emptyMessage;
};

inline constexpr ValueFilterSettings kWeightFilter{1, "请输入需要筛选的权重，用空格分隔"};
inline constexpr ValueFilterSettings kPrFilter{2, "请输入需要筛选的PR，用空格分隔"};

// True when any of `values` occurs anywhere in `cell` (FindText, so never inside a
// double-byte character). The empty value matches every non-empty cell.
bool CellMatchesAny(std::string_view cell, const std::vector<Text>& values);

// Deletes every row whose cell in the filter's column holds none of the values of `field`
// (split at single blanks). The order of the rows that stay is kept, and the view is told
// once. An empty field only shows the filter's message and deletes nothing. Returns how
// many rows went.
int ValueFilter(ResultModel& model, const Text& field, const ValueFilterSettings& settings,
                MessageBoxRoutine& box);
