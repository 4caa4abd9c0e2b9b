#include "results/result_model.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <algorithm>
#include <climits>
#include <functional>

#include "platform/qt_text.h"

namespace {

// Rows whose column 0 holds the given texts.
void Fill(ResultModel& model, std::initializer_list<const char*> addresses) {
    for (const char* address : addresses) model.SetCell(model.AppendRow(), 0, address);
}

std::vector<Text> Addresses(const ResultModel& model) {
    std::vector<Text> result;
    for (int row = 0; row < model.RowCount(); ++row) result.push_back(model.GetCell(row, 0));
    return result;
}

TEST(ResultModel, AppendReturnsIndexAndDeleteShiftsLaterRowsUp) {
    ResultModel model;
    EXPECT_EQ(model.RowCount(), 0);
    EXPECT_EQ(model.AppendRow(), 0);
    EXPECT_EQ(model.AppendRow(), 1);
    EXPECT_EQ(model.AppendRow(), 2);
    for (int row = 0; row < 3; ++row) {
        model.SetCell(row, 0, IntToText(row));
        model.SetCell(row, 12, "×");
    }
    model.DeleteRow(0);
    EXPECT_EQ(Addresses(model), (std::vector<Text>{"1", "2"}));
    EXPECT_EQ(model.GetCell(1, 12), "×");
    EXPECT_EQ(model.GetCell(1, 5), "");  // never written
}

TEST(ResultModel, OutOfRangeIndexesAreAnsweredQuietly) {
    ResultModel model;
    Fill(model, {"a.com", "b.com"});
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

    const std::pair<int, int> outsideCells[] = {{-1, 0}, {2, 0},         {0, -1},
                                                {0, 13}, {INT32_MIN, 0}, {INT32_MAX, 12}};
    for (const auto& [row, column] : outsideCells) {
        SCOPED_TRACE(testing::Message() << row << "," << column);
        EXPECT_EQ(model.GetCell(row, column), "");
        model.SetCell(row, column, "x");
    }
    for (const int row : {-1, 2, INT32_MIN, INT32_MAX}) model.DeleteRow(row);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(Addresses(model), (std::vector<Text>{"a.com", "b.com"}));
}

TEST(ResultModel, KeepsCellBytesOfAnyLength) {
    ResultModel model;
    const Text long_text(100'000, 'x');
    const Text odd_bytes("\x81\x00\xff", 3);  // not GB18030, with a zero byte inside
    model.AppendRow();
    model.SetCell(0, 7, long_text);
    model.SetCell(0, 8, odd_bytes);
    EXPECT_EQ(model.GetCell(0, 7), long_text);
    EXPECT_EQ(model.GetCell(0, 8), odd_bytes);
}

TEST(ResultModel, DeleteRowsWhereKeepsOrderOfTheRest) {
    ResultModel model;
    Fill(model, {"a", "b", "c", "d", "e"});
    const int removed = model.DeleteRowsWhere(
        [](const ResultModel::Row& row) { return row[0] == "b" || row[0] == "d"; });
    EXPECT_EQ(removed, 2);
    EXPECT_EQ(Addresses(model), (std::vector<Text>{"a", "c", "e"}));
    EXPECT_EQ(model.DeleteRowsWhere([](const ResultModel::Row&) { return false; }), 0);
}

// Removals of different shapes come back at their places, every cell with them, once.
TEST(ResultModel, RestoreRemovedRowsPutsTheLastRemovalBackInPlaceOnce) {
    struct Case {
        const char* name;
        std::vector<Text> dropped;
    };
    const Case cases[] = {
        {"inner rows", {"b", "d"}},
        {"first and last", {"a", "f"}},
        {"a run at the end", {"d", "e", "f"}},
        {"every row", {"a", "b", "c", "d", "e", "f"}},
    };
    const std::vector<Text> all = {"a", "b", "c", "d", "e", "f"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResultModel model;
        Fill(model, {"a", "b", "c", "d", "e", "f"});
        for (int row = 0; row < model.RowCount(); ++row) model.SetCell(row, 12, IntToText(row));
        QSignalSpy canRestore(&model, &ResultModel::canRestoreChanged);
        EXPECT_FALSE(model.CanRestoreRemovedRows());
        model.DeleteRowsWhere([&](const ResultModel::Row& row) {
            return std::find(c.dropped.begin(), c.dropped.end(), row[0]) != c.dropped.end();
        });
        EXPECT_TRUE(model.CanRestoreRemovedRows());
        EXPECT_EQ(model.RestoreRemovedRows(), static_cast<int>(c.dropped.size()));
        EXPECT_EQ(Addresses(model), all);
        for (int row = 0; row < model.RowCount(); ++row)
            EXPECT_EQ(model.GetCell(row, 12), IntToText(row));
        EXPECT_FALSE(model.CanRestoreRemovedRows());
        EXPECT_EQ(model.RestoreRemovedRows(), 0);
        EXPECT_EQ(Addresses(model), all);
        ASSERT_EQ(canRestore.count(), 2);
        EXPECT_TRUE(canRestore.at(0).at(0).toBool());
        EXPECT_FALSE(canRestore.at(1).at(0).toBool());
    }
}

// Only the last removal comes back; a removal that takes nothing keeps the one before; any other
// change of the rows (a run appends, clears or deletes) forgets it.
TEST(ResultModel, OnlyTheLastRemovalIsKeptAndOtherChangesForgetIt) {
    const auto dropAddress = [](const char* address) {
        return [address](const ResultModel::Row& row) { return row[0] == address; };
    };
    ResultModel model;
    Fill(model, {"a", "b", "c"});
    model.DeleteRowsWhere(dropAddress("a"));
    model.DeleteRowsWhere(dropAddress("c"));
    model.DeleteRowsWhere(dropAddress("x"));
    EXPECT_EQ(model.RestoreRemovedRows(), 1);
    EXPECT_EQ(Addresses(model), (std::vector<Text>{"b", "c"}));

    const std::function<void(ResultModel&)> changes[] = {
        [](ResultModel& m) { m.AppendRow(); },
        [](ResultModel& m) { m.DeleteAllRows(); },
        [](ResultModel& m) { m.DeleteRow(0); },
    };
    for (const auto& change : changes) {
        ResultModel other;
        Fill(other, {"a", "b"});
        other.DeleteRowsWhere(dropAddress("a"));
        change(other);
        EXPECT_FALSE(other.CanRestoreRemovedRows());
        const int rows = other.RowCount();
        EXPECT_EQ(other.RestoreRemovedRows(), 0);
        EXPECT_EQ(other.RowCount(), rows);
    }
}

TEST(ResultModel, ClearingAnEmptyTableSignalsNothing) {
    ResultModel model;
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    model.DeleteAllRows();
    EXPECT_EQ(reset.count(), 0);
    EXPECT_EQ(model.RowCount(), 0);
}

TEST(ResultModel, HeaderAndCellsFollowTheColumnTable) {
    ResultModel model;
    model.AppendRow();
    EXPECT_EQ(model.columnCount(), kResultColumnCount);
    for (int column = 0; column < kResultColumnCount; ++column) {
        const ResultColumn& expected = kResultColumns[static_cast<std::size_t>(column)];
        const auto horizontal = expected.centred ? Qt::AlignHCenter : Qt::AlignLeft;
        EXPECT_EQ(FromQString(model.headerData(column, Qt::Horizontal).toString()), expected.title);
        EXPECT_EQ(model.index(0, column).data(Qt::TextAlignmentRole).value<Qt::Alignment>(),
                  horizontal | Qt::AlignVCenter);
        EXPECT_FALSE(model.flags(model.index(0, column)) & Qt::ItemIsEditable);
    }
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringView(u"网址").toString());
    EXPECT_EQ(model.headerData(9, Qt::Horizontal).toString(),
              QStringView(u"百度一天收录").toString());
}

// Every structural change the other parts make, under Qt's own consistency checks.
TEST(ResultModel, PassesTheItemModelTester) {
    ResultModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    Fill(model, {"a", "b", "c", "d"});
    model.SetCell(2, 4, "1.2.3.4");
    model.DeleteRow(1);
    model.DeleteRow(model.RowCount() - 1);
    model.DeleteRowsWhere([](const ResultModel::Row& row) { return row[0] == "a"; });
    model.RestoreRemovedRows();
    model.DeleteRowsWhere([](const ResultModel::Row& row) { return row[0] == "a"; });
    Fill(model, {"e"});
    model.DeleteAllRows();
    model.DeleteAllRows();
    Fill(model, {"f"});
    EXPECT_EQ(Addresses(model), (std::vector<Text>{"f"}));
}

}  // namespace
