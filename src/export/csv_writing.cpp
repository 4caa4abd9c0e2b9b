#include "export/csv_writing.h"

#include "common/file_io.h"
#include "export/export_headers.h"
#include "platform/encoding.h"

namespace {

void AppendField(std::string& line, const Text& text) {
    const std::string utf8 = Gb18030ToUtf8(text);
    if (utf8.find_first_of(",\"\r\n") == std::string::npos) {
        line += utf8;
        return;
    }
    line += '"';
    for (const char c : utf8) {
        if (c == '"') line += '"';
        line += c;
    }
    line += '"';
}

}  // namespace

std::string CsvLine(const std::array<Text, kResultColumnCount>& fields) {
    std::string line;
    for (std::size_t column = 0; column < fields.size(); ++column) {
        if (column > 0) line += ',';
        AppendField(line, fields[column]);
    }
    return line;
}

bool WriteCsv(const std::string& path, const ExportRows& rows) {
    std::array<Text, kResultColumnCount> headers;
    for (std::size_t column = 0; column < headers.size(); ++column) {
        headers[column] = Text(kExportHeaders[column]);
    }
    std::string file = CsvLine(headers) + '\n';
    for (const auto& row : rows) file += CsvLine(row) + '\n';
    return WriteWholeFile(path, file);
}
