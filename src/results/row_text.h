#pragma once

#include <functional>

#include "common/text.h"
#include "results/result_model.h"

// The cells of one row as one line of text: the cells of the columns `included` takes, left to
// right, separated by tabs. A tab, CR or LF inside a cell becomes a blank, so the row stays one
// line of one cell per column. Empty for a row outside the table.
Text TabSeparatedRow(const ResultModel& model, int row,
                     const std::function<bool(int column)>& included);
