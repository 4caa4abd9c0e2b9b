#pragma once

#include <string>
#include <vector>

#include "results/result_model.h"

// The rows an export writes: a copy taken once, so the table may change while the file is
// being written.
using ExportRows = std::vector<ResultModel::Row>;

ExportRows TakeExportRows(const ResultModel& model);

// Writes the header row and then `rows` (table row k at sheet row k + 2), columns a to m,
// every cell as text converted to UTF-8. False when the file could not be written.
bool WriteWorkbook(const std::string& path, const ExportRows& rows);
