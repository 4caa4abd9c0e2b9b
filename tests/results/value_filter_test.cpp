#include "results/value_filter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fakes.h"

namespace {

constexpr char kDefaultValues[] = "0 1 2 3 4 5 6 7 8 9";

// A table whose column 0 numbers the rows and whose `column` holds `cells`.
void Fill(ResultModel& model, int column, const std::vector<Text>& cells) {
    for (const Text& cell : cells) {
        const int row = model.AppendRow();
        model.SetCell(row, 0, "r" + std::to_string(row));
        model.SetCell(row, column, cell);
    }
}

std::vector<Text> Column(const ResultModel& model, int column) {
    std::vector<Text> cells;
    for (int row = 0; row < model.RowCount(); ++row) cells.push_back(model.GetCell(row, column));
    return cells;
}

struct FilterCase {
    const char* name;
    ValueFilterSettings settings;
    Text field;
    std::vector<Text> cells;
    std::vector<Text> kept;
};

TEST(ValueFilterTest, KeepsRowsWhoseCellHoldsAnyValue) {
    const std::vector<FilterCase> cases = {
        {"default values keep digits",
         kWeightFilter,
         kDefaultValues,
         {"2", "×", "", "0", "12", "abc", "5×", "未配置", "无排名"},
         {"2", "0", "12", "5×"}},
        {"a value matches anywhere in the cell",
         kPrFilter,
         "1",
         {"1", "10", "21", "2", "×", ""},
         {"1", "10", "21"}},
        {"no ASCII value matches the fail mark",
         kWeightFilter,
         "0 1 9 a z A Z ~ @ -",
         {"×", "×"},
         {}},
        // 0x81 0x41 is one double-byte character whose second byte is "A".
        {"no match on a second byte", kWeightFilter, "A", {"\x81\x41", "A"}, {"A"}},
        {"column never queried", kWeightFilter, kDefaultValues, {"", "", ""}, {}},
        {"two blanks give an empty value",
         kWeightFilter,
         "3  5",
         {"3", "×", "", "7", "5"},
         {"3", "×", "7", "5"}},
        {"a leading blank gives an empty value",
         kPrFilter,
         " 3",
         {"3", "×", "", "abc"},
         {"3", "×", "abc"}},
        {"a trailing blank adds no value",
         kWeightFilter,
         "3 ",
         {"3", "5", "×", "", "13"},
         {"3", "13"}},
        {"empty table", kWeightFilter, kDefaultValues, {}, {}},
    };
    for (const FilterCase& c : cases) {
        SCOPED_TRACE(c.name);
        ResultModel model;
        Fill(model, c.settings.column, c.cells);
        FakeMessageBox box;
        int viewUpdates = 0;
        const auto count = [&viewUpdates] { ++viewUpdates; };
        QObject::connect(&model, &ResultModel::rowsRemoved, count);
        QObject::connect(&model, &ResultModel::modelReset, count);

        const int deleted = ValueFilter(model, c.field, c.settings, box);

        EXPECT_EQ(Column(model, c.settings.column), c.kept);
        EXPECT_EQ(deleted, static_cast<int>(c.cells.size() - c.kept.size()));
        EXPECT_TRUE(box.shown.empty());
        EXPECT_EQ(viewUpdates, deleted > 0 ? 1 : 0);
    }
}

TEST(ValueFilterTest, FiltersApplyOneAfterTheOther) {
    ResultModel model;
    const std::vector<std::pair<Text, Text>> weightAndPr = {{"2", "0"}, {"2", "3"},   {"1", "0"},
                                                            {"×", "0"}, {"12", "10"}, {"2", ""}};
    for (const auto& [weight, pr] : weightAndPr) {
        const int row = model.AppendRow();
        model.SetCell(row, 0, "r" + std::to_string(row));
        model.SetCell(row, kWeightFilter.column, weight);
        model.SetCell(row, kPrFilter.column, pr);
    }
    FakeMessageBox box;

    ValueFilter(model, "0", kPrFilter, box);
    ValueFilter(model, "2", kWeightFilter, box);

    EXPECT_EQ(Column(model, 0), (std::vector<Text>{"r0", "r4"}));
}

TEST(ValueFilterTest, EmptyFieldShowsItsMessageAndDeletesNothing) {
    for (const ValueFilterSettings& settings : {kWeightFilter, kPrFilter}) {
        ResultModel model;
        Fill(model, settings.column, {"1", "", "×"});
        FakeMessageBox box;

        EXPECT_EQ(ValueFilter(model, "", settings, box), 0);

        EXPECT_EQ(model.RowCount(), 3);
        ASSERT_EQ(box.shown.size(), 1u);
        EXPECT_EQ(box.shown[0].text, Text(settings.emptyMessage));
        EXPECT_EQ(box.shown[0].caption, "信息：");
        EXPECT_EQ(box.shown[0].style, MessageBoxRoutine::kOk);
    }
}

}  // namespace
