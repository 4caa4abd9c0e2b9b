#pragma once

#include <string>

#include "export/workbook_writing.h"

// The rows as UTF-8 CSV for scripts: the export's header row, then one line per row, fields
// quoted where they hold a comma, a quote or a line break (RFC 4180), lines ended by LF.
// Bad code page 936 bytes become U+FFFD. Replaces the file atomically; false on failure.
bool WriteCsv(const std::string& path, const ExportRows& rows);

// One CSV line's fields, without the line end.
std::string CsvLine(const std::array<Text, kResultColumnCount>& fields);
