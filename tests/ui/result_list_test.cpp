#include "ui/result_list.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

#include "platform/qt_text.h"
#include "results/result_model.h"
#include "ui/main_window.h"

namespace {

class ResultListTest : public ::testing::Test {
  protected:
    ResultListTest() : m_list(*m_window.ResultTable()), m_model(m_window.Results()) {}

    void Show() {
        m_window.show();
        QApplication::setActiveWindow(&m_window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m_window));
    }

    void AddRows(int count) {
        for (int i = 0; i < count; ++i) {
            const int row = m_model.AppendRow();
            m_model.SetCell(row, 0, ConcatText({"site", IntToText(row), ".com"}));
        }
    }

    QPoint RowCentre(int row) const {
        return m_list.visualRect(m_list.model()->index(row, 0)).center();
    }

    void ClickBox(int column) {
        QTest::mouseClick(m_window.MetricCheck(column), Qt::LeftButton, {}, QPoint(7, 12));
    }

    std::vector<int> Widths() const {
        std::vector<int> widths;
        for (int column = 0; column < kResultColumnCount; ++column) {
            widths.push_back(m_list.ColumnWidth(column));
        }
        return widths;
    }

    MainWindow m_window;
    ResultList& m_list;
    ResultModel& m_model;
};

std::vector<int> StandardWidths() {
    std::vector<int> widths;
    for (const ResultColumn& column : kResultColumns) widths.push_back(column.width);
    return widths;
}

TEST_F(ResultListTest, StartsEmptyWithEveryColumnAtItsWidth) {
    Show();
    EXPECT_EQ(m_list.model()->rowCount(), 0);
    EXPECT_EQ(m_list.SelectedRow(), -1);
    EXPECT_EQ(Widths(), StandardWidths());
    for (int column = 0; column < kResultColumnCount; ++column) {
        EXPECT_FALSE(m_list.isColumnHidden(column));
    }

    const QHeaderView* header = m_list.horizontalHeader();
    EXPECT_FALSE(header->sectionsClickable());
    EXPECT_FALSE(header->sectionsMovable());
    EXPECT_FALSE(m_list.isSortingEnabled());
    EXPECT_EQ(header->sectionResizeMode(0), QHeaderView::Interactive);
    EXPECT_FALSE(m_list.verticalHeader()->isVisible());
    EXPECT_EQ(m_list.selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(m_list.selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(m_list.editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_TRUE(m_list.showGrid());
    EXPECT_EQ(m_list.frameShape(), QFrame::Box);
}

TEST_F(ResultListTest, RunStartHidesUntickedColumnsAndBoxesBringThemBack) {
    AddRows(2);
    m_model.SetCell(0, 1, "3");
    m_window.HideUntickedColumns();  // only the Baidu weight box is ticked
    std::vector<int> expected(kResultColumnCount, 0);
    expected[0] = 150;
    expected[1] = 60;
    EXPECT_EQ(Widths(), expected);
    EXPECT_EQ(m_model.GetCell(0, 1), "3");  // hidden cells keep their texts

    ClickBox(4);  // ticks the IP box
    EXPECT_TRUE(m_window.IsMetricTicked(4));
    EXPECT_EQ(m_list.ColumnWidth(4), 100);
    EXPECT_EQ(m_model.GetCell(0, 4), "");

    ClickBox(1);  // unticks Baidu weight: its column stays until the next run
    EXPECT_FALSE(m_window.IsMetricTicked(1));
    EXPECT_EQ(m_list.ColumnWidth(1), 60);
    m_window.HideUntickedColumns();
    EXPECT_EQ(m_list.ColumnWidth(1), 0);
    EXPECT_EQ(m_list.ColumnWidth(4), 100);

    // A ticked column keeps a width the user gave it.
    m_list.horizontalHeader()->resizeSection(4, 130);
    m_window.HideUntickedColumns();
    EXPECT_EQ(m_list.ColumnWidth(4), 130);
}

TEST_F(ResultListTest, EveryBoxClickSetsItsColumnsStandardWidthWhateverTheTick) {
    for (int column = 1; column < kResultColumnCount; ++column) {
        SCOPED_TRACE(column);
        const int standard = kResultColumns[static_cast<std::size_t>(column)].width;
        const bool tickedBefore = m_window.IsMetricTicked(column);
        m_list.horizontalHeader()->resizeSection(column, 17);  // dragged by the user
        ClickBox(column);
        EXPECT_NE(m_window.IsMetricTicked(column), tickedBefore);
        EXPECT_EQ(m_list.ColumnWidth(column), standard);
        m_list.SetColumnWidth(column, 0);
        ClickBox(column);
        EXPECT_EQ(m_window.IsMetricTicked(column), tickedBefore);
        EXPECT_EQ(m_list.ColumnWidth(column), standard);
    }
}

TEST_F(ResultListTest, WidthZeroHidesAndAPositiveWidthShowsAgain) {
    m_list.SetColumnWidth(7, 0);
    EXPECT_TRUE(m_list.isColumnHidden(7));
    EXPECT_EQ(m_list.ColumnWidth(7), 0);
    m_list.SetColumnWidth(7, 45);
    EXPECT_FALSE(m_list.isColumnHidden(7));
    EXPECT_EQ(m_list.ColumnWidth(7), 45);
    m_list.SetColumnWidth(7, -5);
    EXPECT_EQ(m_list.ColumnWidth(7), 0);
    m_list.SetColumnWidth(-1, 10);
    m_list.SetColumnWidth(13, 10);
    EXPECT_EQ(m_list.ColumnWidth(13), 0);
}

TEST_F(ResultListTest, ClearListEmptiesTheTableAndLeavesWidths) {
    QPushButton* clear = m_window.ClearListButton();
    m_list.SetColumnWidth(3, 0);
    const std::vector<int> widths = Widths();

    QTest::mouseClick(clear, Qt::LeftButton);  // on an empty table
    EXPECT_EQ(m_model.RowCount(), 0);
    AddRows(3);
    QTest::mouseClick(clear, Qt::LeftButton);
    EXPECT_EQ(m_model.RowCount(), 0);
    EXPECT_EQ(m_list.model()->rowCount(), 0);
    EXPECT_EQ(Widths(), widths);
}

TEST_F(ResultListTest, RightClickSelectsTheRowUnderTheMouseOrNone) {
    Show();
    AddRows(3);
    QSignalSpy menu(&m_list, &ResultList::rowMenuRequested);
    QWidget* rows = m_list.viewport();

    QTest::mouseClick(rows, Qt::LeftButton, {}, RowCentre(0));
    EXPECT_EQ(m_list.SelectedRow(), 0);
    QTest::mouseClick(rows, Qt::RightButton, {}, RowCentre(2));
    EXPECT_EQ(m_list.SelectedRow(), 2);
    EXPECT_EQ(m_list.selectionModel()->selectedRows().size(), 1);
    ASSERT_EQ(menu.count(), 1);
    EXPECT_EQ(menu.at(0).at(0).toPoint(), rows->mapToGlobal(RowCentre(2)));

    const QPoint belowLast = RowCentre(2) + QPoint(0, 60);
    QTest::mouseClick(rows, Qt::RightButton, {}, belowLast);
    EXPECT_EQ(m_list.SelectedRow(), -1);
    EXPECT_EQ(menu.count(), 2);

    // The header is not part of the rows area.
    QTest::mouseClick(m_list.horizontalHeader()->viewport(), Qt::RightButton, {}, QPoint(40, 5));
    EXPECT_EQ(menu.count(), 2);
}

TEST_F(ResultListTest, SelectionShowsOnlyWhileTheListHasFocus) {
    Show();
    AddRows(2);
    const QPoint blank(m_list.columnWidth(0) - 5, RowCentre(0).y());  // right of the text
    QTest::mouseClick(m_list.viewport(), Qt::LeftButton, {}, RowCentre(0));
    ASSERT_TRUE(m_list.hasFocus());
    const auto pixel = [&] { return m_list.viewport()->grab().toImage().pixelColor(blank); };
    EXPECT_NE(pixel(), QColor(Qt::white));

    m_window.WeightFilterEdit()->setFocus();
    ASSERT_FALSE(m_list.hasFocus());
    EXPECT_EQ(pixel(), QColor(Qt::white));
    EXPECT_EQ(m_list.SelectedRow(), 0);  // still selected, only not shown
}

TEST_F(ResultListTest, ScrollToRowBringsTheRowIntoViewAndKeepsTheHorizontalPlace) {
    Show();
    AddRows(300);
    m_list.SetColumnWidth(0, 600);  // wider than the list: a horizontal scroll bar
    QScrollBar* across = m_list.horizontalScrollBar();
    QTRY_VERIFY(across->maximum() > 0);
    across->setValue(across->maximum());
    const int place = across->value();
    ASSERT_GT(place, 0);

    for (const int row : {250, 299, 3, 0}) {
        SCOPED_TRACE(row);
        m_list.ScrollToRow(row);
        const QRect shown = m_list.visualRect(m_list.model()->index(row, 0));
        EXPECT_TRUE(m_list.viewport()->rect().contains(QRect(0, shown.top(), 1, shown.height())));
        EXPECT_EQ(across->value(), place);
    }
    m_list.ScrollToRow(300);
    m_list.ScrollToRow(-1);
}

// A cell whose text is cut at its column's edge shows the whole text as its tooltip, as plain
// text; a cell that fits shows none. Narrowing a column makes its cells clipped.
TEST_F(ResultListTest, TooltipShowsTheWholeTextOfClippedCellsOnly) {
    Show();
    AddRows(1);
    const Text title = "一个很长很长的网站标题，远远超出这一列的宽度 <b>粗</b>";
    m_model.SetCell(0, 4, "1.2.3.4");
    m_model.SetCell(0, 7, title);
    m_list.SetColumnWidth(12, 0);
    const auto tipAt = [&](int column) {
        QToolTip::hideText();
        const QRect cell = m_list.visualRect(m_list.model()->index(0, column));
        QHelpEvent help(QEvent::ToolTip, cell.center(),
                        m_list.viewport()->mapToGlobal(cell.center()));
        QApplication::sendEvent(m_list.viewport(), &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    EXPECT_EQ(tipAt(0), QString());
    EXPECT_EQ(tipAt(4), QString());
    EXPECT_EQ(tipAt(5), QString());  // empty
    const QString titleTip = tipAt(7);
    EXPECT_TRUE(titleTip.contains(ToQString("远远超出这一列的宽度 &lt;b&gt;粗&lt;/b&gt;")))
        << titleTip.toStdString();

    m_list.SetColumnWidth(0, 20);
    EXPECT_TRUE(tipAt(0).contains(QStringLiteral("site0.com")));

    // A long text: its beginning, in lines of sixty characters.
    m_model.SetCell(0, 7, Text(5000, 'x'));
    const QString longTip = tipAt(7);
    EXPECT_TRUE(longTip.contains(QStringLiteral("<br>") + QString(60, QLatin1Char('x')) +
                                 QStringLiteral("<br>")));
    EXPECT_FALSE(longTip.contains(QString(61, QLatin1Char('x'))));
    EXPECT_LT(longTip.size(), 1200);
    QToolTip::hideText();
}

}  // namespace
