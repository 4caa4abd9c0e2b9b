#pragma once

#include <map>
#include <string>
#include <string_view>

// A workbook read back by openpyxl (/usr/bin/python3), an independent reader: what a user's
// spreadsheet program would find in the file.
struct WorkbookCell {
    bool hasValue = false;  // false for a blank cell
    std::string utf8;       // the value, when it is a string
    char type = 'n';        // openpyxl's data type: 's' string, 'n' number or blank, 'f' formula
    std::string format;     // the number format
};

struct ReadBackWorkbook {
    bool ok = false;  // openpyxl opened the file
    int sheets = 0;
    int maxRow = 0;
    int maxColumn = 0;
    std::map<std::string, WorkbookCell> cells;  // of the first sheet, by address ("A1")
};

ReadBackWorkbook ReadWorkbook(const std::string& path);

// The bytes of a u8"..." literal as the std::string openpyxl's values come back in.
inline std::string Utf8(std::u8string_view text) {
    return {text.begin(), text.end()};
}
