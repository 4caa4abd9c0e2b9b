#include "ui/filter_controller.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
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

}  // namespace
