#include "ui/row_copy_controller.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "results/result_model.h"
#include "support/fake_clipboard.h"
#include "ui/main_window.h"
#include "ui/result_list.h"

namespace {

// Ctrl+C in the list puts the selected row's visible cells on the clipboard, tab-separated, each
// cell kept on its line; with no row selected it leaves the clipboard alone.
TEST(RowCopyController, CtrlCCopiesTheSelectedRowsVisibleCells) {
    MainWindow window;
    FakeClipboard clipboard;
    RowCopyController controller(window, clipboard);
    ResultModel& model = window.Results();
    for (const char* site : {"a.cn", "b.cn"}) model.SetCell(model.AppendRow(), 0, site);
    model.SetCell(1, 1, "3");
    model.SetCell(1, 4, "1.2.3.4");
    model.SetCell(1, 7, "标题\t一\r\n二");
    model.SetCell(1, 9, "hidden");
    ResultList* table = window.ResultTable();
    for (const int hidden : {2, 3, 5, 6, 8, 9, 10, 11, 12}) table->SetColumnWidth(hidden, 0);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    table->setFocus();

    QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(clipboard.texts.empty());

    table->selectRow(1);
    QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard.texts, std::vector<Text>{"b.cn\t3\t1.2.3.4\t标题 一  二"});
}

}  // namespace
