#include "export/workbook_writing.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "support/workbook_reader.h"

namespace {

std::string Address(int column, int row) {
    return std::string(1, static_cast<char>('A' + column)) + std::to_string(row);
}

const std::vector<std::string> kHeadersUtf8 = {
    Utf8(u8"网址"),          Utf8(u8"百度权重"),     Utf8(u8"PR"),       Utf8(u8"百度收录"),
    Utf8(u8"网站ip"),        Utf8(u8"导出链接"),     Utf8(u8"建站时间"), Utf8(u8"网站标题"),
    Utf8(u8"alexa"),         Utf8(u8"百度一天收录"), Utf8(u8"搜狗收录"), Utf8(u8"搜狗权重"),
    Utf8(u8"360收录(好搜)"),
};

void ExpectHeaderRow(const ReadBackWorkbook& book) {
    for (int column = 0; column < 13; ++column) {
        const WorkbookCell& cell = book.cells.at(Address(column, 1));
        EXPECT_EQ(cell.utf8, kHeadersUtf8[static_cast<std::size_t>(column)]) << column;
        EXPECT_EQ(cell.type, 's');
        EXPECT_EQ(cell.format, "@");
    }
}

TEST(WorkbookWritingTest, EveryCellIsTextUnderTheHeaderRow) {
    // Cells a spreadsheet would turn into numbers, dates or formulas, the fail mark, CJK, an
    // empty cell and a byte that is not GB18030; column 12 stands for a hidden column.
    struct Cell {
        int row;
        int column;
        Text text;
        std::string utf8;  // what the workbook must hold; empty for a blank cell
    };
    const std::vector<Cell> cells = {
        {0, 1, "007", "007"},
        {0, 6, "2024-01-01", "2024-01-01"},
        {0, 7, "=1+1", "=1+1"},
        {1, 2, "×", Utf8(u8"×")},
        {1, 7, "中文标题 – 首页", Utf8(u8"中文标题 – 首页")},
        {1, 8, "", ""},
        {2, 3, "1.5e3", "1.5e3"},
        {2, 7, "a\xFF", Utf8(u8"a\uFFFD")},
        {2, 12, "12345", "12345"},
    };
    ExportRows rows(10);
    for (std::size_t k = 0; k < rows.size(); ++k) rows[k][0] = "site" + std::to_string(k) + ".cn";
    for (const Cell& cell : cells) {
        rows[static_cast<std::size_t>(cell.row)][static_cast<std::size_t>(cell.column)] = cell.text;
    }
    TempDir dir;
    const std::string path = dir.File("result.xls");

    ASSERT_TRUE(WriteWorkbook(path, rows));

    const ReadBackWorkbook book = ReadWorkbook(path);
    ASSERT_TRUE(book.ok);
    EXPECT_EQ(book.maxRow, 11);
    EXPECT_EQ(book.maxColumn, 13);
    ExpectHeaderRow(book);
    for (int k = 0; k < 10; ++k) {
        EXPECT_EQ(book.cells.at(Address(0, k + 2)).utf8, "site" + std::to_string(k) + ".cn");
    }
    for (const Cell& cell : cells) {
        SCOPED_TRACE(Address(cell.column, cell.row + 2));
        const WorkbookCell& read = book.cells.at(Address(cell.column, cell.row + 2));
        EXPECT_EQ(read.hasValue, !cell.utf8.empty());
        EXPECT_EQ(read.utf8, cell.utf8);
        EXPECT_EQ(read.format, "@");
        if (read.hasValue) {
            EXPECT_EQ(read.type, 's');
        }
    }
}

TEST(WorkbookWritingTest, EmptyTableGivesTheHeaderRowOnly) {
    TempDir dir;
    const std::string path = dir.File("empty.xls");

    ASSERT_TRUE(WriteWorkbook(path, {}));

    const ReadBackWorkbook book = ReadWorkbook(path);
    ASSERT_TRUE(book.ok);
    EXPECT_EQ(book.maxRow, 1);
    EXPECT_EQ(book.maxColumn, 13);
    ExpectHeaderRow(book);
}

TEST(WorkbookWritingTest, OverlongCellIsCutAtTheCellLimit) {
    ExportRows rows(1);
    rows[0][7] = std::string(40000, 'x');
    rows[0][8] = "中" + std::string(32766, 'y');  // exactly at the limit, so kept whole
    TempDir dir;
    const std::string path = dir.File("long.xls");

    ASSERT_TRUE(WriteWorkbook(path, rows));

    const ReadBackWorkbook book = ReadWorkbook(path);
    ASSERT_TRUE(book.ok);
    EXPECT_EQ(book.cells.at("H2").utf8, std::string(32767, 'x'));
    EXPECT_EQ(book.cells.at("I2").utf8, Utf8(u8"中") + std::string(32766, 'y'));
}

TEST(WorkbookWritingTest, UnwritableTargetFails) {
    TempDir dir;
    const std::string regularFile = dir.File("plain");
    ASSERT_TRUE(WriteWorkbook(regularFile, {}));
    std::filesystem::create_directory(dir.File("folder.xls"));

    for (const std::string& path :
         {regularFile + "/under.xls", dir.File("folder.xls"), dir.File("missing/dir/book.xls")}) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(WriteWorkbook(path, ExportRows(3)));
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("missing")));
}

}  // namespace
