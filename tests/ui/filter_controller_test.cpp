#include "ui/filter_controller.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <vector>

#include "platform/qt_text.h"
#include "results/result_model.h"
#include "support/fakes.h"
#include "ui/main_window.h"
#include "ui/result_list.h"

namespace {

class FilterControllerTest : public ::testing::Test {
  protected:
    FilterControllerTest() : m_controller(m_window, m_box) {
        // Weight, PR for four sites.
        const std::vector<std::pair<Text, Text>> figures = {
            {"2", "0"}, {"×", "0"}, {"12", "3"}, {"", "0"}};
        for (const auto& [weight, pr] : figures) {
            const int row = m_window.Results().AppendRow();
            m_window.Results().SetCell(row, 0, "s" + IntToText(row));
            m_window.Results().SetCell(row, 1, weight);
            m_window.Results().SetCell(row, 2, pr);
        }
    }

    void Filter(QLineEdit* edit, QPushButton* button, const Text& values) {
        edit->setText(ToQString(values));
        QTest::mouseClick(button, Qt::LeftButton);
    }

    std::vector<Text> Sites() const {
        std::vector<Text> sites;
        for (int row = 0; row < m_window.Results().RowCount(); ++row) {
            sites.push_back(m_window.Results().GetCell(row, 0));
        }
        return sites;
    }

    MainWindow m_window;
    FakeMessageBox m_box;
    FilterController m_controller;
};

TEST_F(FilterControllerTest, ButtonsFilterTheTableByTheirEditBoxes) {
    m_window.ResultTable()->SetColumnWidth(5, 0);
    m_window.ResultTable()->SetColumnWidth(7, 140);

    Filter(m_window.PrFilterEdit(), m_window.PrFilterButton(), "0");
    EXPECT_EQ(Sites(), (std::vector<Text>{"s0", "s1", "s3"}));

    Filter(m_window.WeightFilterEdit(), m_window.WeightFilterButton(), "0 1 2 3 4 5 6 7 8 9");
    EXPECT_EQ(Sites(), std::vector<Text>{"s0"});

    // The list shows what is left; widths and the edit boxes stay as they were.
    EXPECT_EQ(m_window.ResultTable()->model()->rowCount(), 1);
    EXPECT_EQ(m_window.ResultTable()->ColumnWidth(5), 0);
    EXPECT_EQ(m_window.ResultTable()->ColumnWidth(7), 140);
    EXPECT_EQ(FromQString(m_window.WeightFilterEdit()->text()), "0 1 2 3 4 5 6 7 8 9");
    EXPECT_TRUE(m_box.shown.empty());
}

TEST_F(FilterControllerTest, EmptyFieldShowsItsMessageOnly) {
    Filter(m_window.WeightFilterEdit(), m_window.WeightFilterButton(), "");
    Filter(m_window.PrFilterEdit(), m_window.PrFilterButton(), "");

    EXPECT_EQ(m_window.Results().RowCount(), 4);
    ASSERT_EQ(m_box.shown.size(), 2u);
    EXPECT_EQ(m_box.shown[0].text, "请输入需要筛选的权重，用空格分隔");
    EXPECT_EQ(m_box.shown[1].text, "请输入需要筛选的PR，用空格分隔");
}

// Ctrl+Z brings back, at their places, the rows that the last filter or clear took, once; the
// selection is cleared. A run (it clears the table and appends rows) forgets them.
TEST_F(FilterControllerTest, CtrlZRestoresWhatTheLastFilterOrClearTook) {
    struct Case {
        const char* name;
        std::function<void()> remove;
        std::vector<Text> left;
    };
    const Case cases[] = {
        {"weight filter",
         [&] { Filter(m_window.WeightFilterEdit(), m_window.WeightFilterButton(), "2"); },
         {"s0", "s2"}},
        {"PR filter",
         [&] { Filter(m_window.PrFilterEdit(), m_window.PrFilterButton(), "3"); },
         {"s2"}},
        {"clear list", [&] { QTest::mouseClick(m_window.ClearListButton(), Qt::LeftButton); }, {}},
    };
    m_window.show();
    QApplication::setActiveWindow(&m_window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_window));
    const std::vector<Text> all = {"s0", "s1", "s2", "s3"};
    ResultList* table = m_window.ResultTable();
    const auto ctrlZ = [&] { QTest::keyClick(table, Qt::Key_Z, Qt::ControlModifier); };
    EXPECT_EQ(m_window.UndoAction()->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(m_window.UndoAction()->isEnabled());
        c.remove();
        EXPECT_EQ(Sites(), c.left);
        EXPECT_TRUE(m_window.UndoAction()->isEnabled());
        table->setFocus();
        table->selectRow(0);
        ctrlZ();
        EXPECT_EQ(Sites(), all);
        EXPECT_EQ(table->model()->rowCount(), 4);
        EXPECT_EQ(table->SelectedRow(), -1);
        EXPECT_EQ(m_window.Results().GetCell(2, 1), "12");
        ctrlZ();
        EXPECT_EQ(Sites(), all);
    }

    // A run clears the table and appends its rows: the removal before it is gone.
    Filter(m_window.WeightFilterEdit(), m_window.WeightFilterButton(), "2");
    m_window.Results().DeleteAllRows();
    m_window.Results().SetCell(m_window.Results().AppendRow(), 0, "new");
    EXPECT_FALSE(m_window.UndoAction()->isEnabled());
    ctrlZ();
    EXPECT_EQ(Sites(), std::vector<Text>{"new"});
}

}  // namespace
