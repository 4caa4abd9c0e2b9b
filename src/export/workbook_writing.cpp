#include "export/workbook_writing.h"

#include <algorithm>

#include "export/export_headers.h"
#include "platform/encoding.h"
#include "platform/xlsx_text_writer.h"

namespace {

bool IsAscii(const Text& text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Most cells are ASCII, the same bytes in UTF-8: convert only the others. Bad bytes become
// U+FFFD, since the writer would otherwise produce a file no reader opens.
void WriteCell(XlsxTextWriter& writer, int row, int column, const Text& text) {
    if (IsAscii(text)) {
        writer.WriteText(row, column, text);
    } else {
        writer.WriteText(row, column, Gb18030ToUtf8(text));
    }
}

}  // namespace

ExportRows TakeExportRows(const ResultModel& model) {
    ExportRows rows(static_cast<std::size_t>(model.RowCount()));
    for (std::size_t row = 0; row < rows.size(); ++row) {
        for (std::size_t column = 0; column < kResultColumnCount; ++column) {
            rows[row][column] = model.GetCell(static_cast<int>(row), static_cast<int>(column));
        }
    }
    return rows;
}

bool WriteWorkbook(const std::string& path, const ExportRows& rows) {
    XlsxTextWriter writer(path);
    for (int column = 0; column < kResultColumnCount; ++column) {
        WriteCell(writer, 0, column, Text(kExportHeaders[static_cast<std::size_t>(column)]));
    }
    for (std::size_t row = 0; row < rows.size(); ++row) {
        for (int column = 0; column < kResultColumnCount; ++column) {
            WriteCell(writer, static_cast<int>(row) + 1, column,
                      rows[row][static_cast<std::size_t>(column)]);
        }
    }
    return writer.Close();
}
