#include "ui/result_view_model.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include "platform/qt_text.h"
#include "results/result_model.h"

namespace {

class ResultViewModelTest : public ::testing::Test {
  protected:
    void Append(std::string_view address) {
        m_source.SetCell(m_source.AppendRow(), 0, Text(address));
    }

    // The shown rows are the source's first rows, cell for cell.
    void ExpectShowsSourcePrefix() const {
        ASSERT_LE(m_shown.rowCount(), m_source.RowCount());
        for (int row = 0; row < m_shown.rowCount(); ++row) {
            EXPECT_EQ(FromQString(m_shown.index(row, 0).data().toString()),
                      m_source.GetCell(row, 0));
        }
    }

    ResultModel m_source;
    ResultViewModel m_shown{m_source};
    QAbstractItemModelTester m_tester{&m_shown,
                                      QAbstractItemModelTester::FailureReportingMode::Fatal};
};

TEST_F(ResultViewModelTest, FollowsTheSourceAtOnceWhenNotHolding) {
    Append("a.com");
    m_source.SetCell(0, 3, "120");
    EXPECT_EQ(m_shown.rowCount(), 1);
    EXPECT_EQ(m_shown.index(0, 3).data().toString(), QStringLiteral("120"));
    EXPECT_EQ(m_shown.columnCount(), kResultColumnCount);
}

TEST_F(ResultViewModelTest, HeldRowsAppearTogetherOnRelease) {
    Append("a.com");
    QSignalSpy inserted(&m_shown, &QAbstractItemModel::rowsInserted);
    QSignalSpy changed(&m_shown, &QAbstractItemModel::dataChanged);

    m_shown.Hold();
    Append("b.com");
    Append("c.com");
    m_source.SetCell(2, 7, "title");
    EXPECT_EQ(m_shown.rowCount(), 1);
    EXPECT_EQ(inserted.count(), 0);
    EXPECT_EQ(changed.count(), 0);
    m_source.SetCell(0, 1, "5");  // a shown row changes at once
    EXPECT_EQ(changed.count(), 1);

    m_shown.Release();
    EXPECT_EQ(m_shown.rowCount(), 3);
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(inserted.at(0).at(1).toInt(), 1);
    EXPECT_EQ(inserted.at(0).at(2).toInt(), 2);
    EXPECT_EQ(m_shown.index(2, 7).data().toString(), QStringLiteral("title"));
    ExpectShowsSourcePrefix();
}

TEST_F(ResultViewModelTest, DeletionsAndResetsPassWhileHolding) {
    Append("a.com");
    m_shown.Hold();
    Append("b.com");
    Append("c.com");
    Append("d.com");

    m_source.DeleteRow(2);  // a held row
    EXPECT_EQ(m_shown.rowCount(), m_source.RowCount());
    ExpectShowsSourcePrefix();

    Append("e.com");
    m_source.DeleteRowsWhere([](const ResultModel::Row& row) { return row[0] == "a.com"; });
    EXPECT_EQ(m_shown.rowCount(), m_source.RowCount());
    ExpectShowsSourcePrefix();

    m_source.DeleteAllRows();
    EXPECT_EQ(m_shown.rowCount(), 0);
    EXPECT_TRUE(m_shown.Holding());
    Append("f.com");
    EXPECT_EQ(m_shown.rowCount(), 0);
    m_shown.Release();
    EXPECT_EQ(m_shown.rowCount(), 1);
    ExpectShowsSourcePrefix();
}

}  // namespace
