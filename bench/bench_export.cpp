// Exporting 100,000 rows of 13 cells against a bare libxlsxwriter program that writes the
// same strings, already in UTF-8, with the same text format in constant-memory mode.
#include <xlsxwriter.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "export/export_headers.h"
#include "export/workbook_writing.h"
#include "platform/encoding.h"

namespace {

constexpr int kRows = 100000;

// A run's look: hosts, small figures, the fail mark, empty cells, titles, dates, addresses.
Text CellText(int row, int column) {
    switch (column) {
        case 0:
            return "www.site" + std::to_string(row) + ".com";
        case 1:
            return row % 3 == 0 ? "×" : std::to_string(row % 10);
        case 4:
            return "192.168." + std::to_string(row % 256) + "." + std::to_string(row % 199);
        case 6:
            return "2009-0" + std::to_string(row % 9 + 1) + "-1" + std::to_string(row % 10);
        case 7:
            return "某某网站标题 - 首页" + std::to_string(row);
        case 9:
            return row % 4 == 0 ? "" : std::to_string(row * 7 % 1000);
        default:
            return std::to_string(row * column % 100000);
    }
}

double Milliseconds(std::chrono::steady_clock::duration elapsed) {
    return std::chrono::duration<double, std::milli>(elapsed).count();
}

double TimeExport(const ResultModel& model, const std::string& path) {
    const auto start = std::chrono::steady_clock::now();
    const bool written = WriteWorkbook(path, TakeExportRows(model));
    const double ms = Milliseconds(std::chrono::steady_clock::now() - start);
    if (!written) std::fprintf(stderr, "export failed\n");
    return ms;
}

double TimeBare(const std::vector<std::string>& headers,
                const std::vector<std::vector<std::string>>& rows, const std::string& path) {
    const auto start = std::chrono::steady_clock::now();
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* workbook = workbook_new_opt(path.c_str(), &options);
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, nullptr);
    lxw_format* text = workbook_add_format(workbook);
    format_set_num_format(text, "@");
    for (lxw_col_t column = 0; column < headers.size(); ++column) {
        worksheet_write_string(sheet, 0, column, headers[column].c_str(), text);
    }
    for (std::size_t row = 0; row < rows.size(); ++row) {
        for (lxw_col_t column = 0; column < rows[row].size(); ++column) {
            worksheet_write_string(sheet, static_cast<lxw_row_t>(row + 1), column,
                                   rows[row][column].c_str(), text);
        }
    }
    const bool written = workbook_close(workbook) == LXW_NO_ERROR;
    const double ms = Milliseconds(std::chrono::steady_clock::now() - start);
    if (!written) std::fprintf(stderr, "bare write failed\n");
    return ms;
}

}  // namespace

int main() {
    ResultModel model;
    std::vector<std::vector<std::string>> utf8Rows(kRows);
    for (int row = 0; row < kRows; ++row) {
        model.AppendRow();
        for (int column = 0; column < kResultColumnCount; ++column) {
            const Text cell = CellText(row, column);
            model.SetCell(row, column, cell);
            utf8Rows[static_cast<std::size_t>(row)].push_back(Gb18030ToUtf8(cell));
        }
    }
    std::vector<std::string> headers;
    for (std::string_view header : kExportHeaders) headers.push_back(Gb18030ToUtf8(header));

    std::string dir = (std::filesystem::temp_directory_path() / "zarkel-bench-XXXXXX").string();
    if (::mkdtemp(dir.data()) == nullptr) return 1;
    double ours = 1e300;
    double bare = 1e300;
    for (int run = 0; run < 3; ++run) {
        bare = std::min(bare, TimeBare(headers, utf8Rows, dir + "/bare.xlsx"));
        ours = std::min(ours, TimeExport(model, dir + "/ours.xls"));
    }
    std::filesystem::remove_all(dir);

    const double ratio = ours / bare;
    std::printf("export_100k_x_13: %.0f ms (target: <= 1.3 x bare libxlsxwriter)\n", ours);
    std::printf("bare_libxlsxwriter_100k_x_13: %.0f ms (reference)\n", bare);
    std::printf("export_vs_bare_libxlsxwriter: %.2f x (target: <= 1.3)\n", ratio);
    return ratio <= 1.3 ? 0 : 1;
}
