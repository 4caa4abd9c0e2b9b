#include "ui/export_controller.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>

#include "results/result_model.h"
#include "support/fake_save_dialog.h"
#include "support/fakes.h"
#include "support/temp_dir.h"
#include "support/workbook_reader.h"
#include "ui/main_window.h"
#include "ui/result_list.h"

namespace {

class ExportControllerTest : public ::testing::Test {
  protected:
    ExportControllerTest()
        : m_controller(m_window, m_dialog, m_box, m_opener, [this] { return m_runActive; }) {
        // As after a first run: the three buttons usable.
        for (QPushButton* button : Held()) button->setEnabled(true);
    }

    std::vector<QPushButton*> Held() const {
        return {m_window.ExportButton(), m_window.ClearListButton(), m_window.StartButton()};
    }

    bool AnyHeldEnabled() const {
        for (QPushButton* button : Held()) {
            if (button->isEnabled()) return true;
        }
        return false;
    }

    TempDir m_dir;
    MainWindow m_window;
    FakeSaveDialog m_dialog;
    FakeMessageBox m_box;
    FakeShellOpener m_opener;
    bool m_runActive = false;
    ExportController m_controller;
};

TEST_F(ExportControllerTest, ExportsEveryColumnAndHoldsTheButtonsWhileWriting) {
    ResultModel& results = m_window.Results();
    const int row = results.AppendRow();
    results.SetCell(row, 0, "a.cn");
    results.SetCell(row, 4, "1.2.3.4");
    m_window.ResultTable()->SetColumnWidth(4, 0);
    const std::string path = m_dir.File("out.xls");
    m_dialog.answers.push_back(path);
    bool heldAtMessage = true;
    m_box.onShow = [&](const FakeMessageBox::Shown&) { heldAtMessage = !AnyHeldEnabled(); };

    QTest::mouseClick(m_window.ExportButton(), Qt::LeftButton);
    EXPECT_FALSE(AnyHeldEnabled());

    QTRY_VERIFY_WITH_TIMEOUT(!m_box.shown.empty(), 30000);
    EXPECT_FALSE(heldAtMessage);
    for (QPushButton* button : Held()) EXPECT_TRUE(button->isEnabled());
    EXPECT_EQ(m_box.shown[0].text, "导出成功!");
    EXPECT_EQ(m_opener.files, std::vector<std::string>{path});
    const ReadBackWorkbook book = ReadWorkbook(path);
    ASSERT_TRUE(book.ok);
    EXPECT_EQ(book.cells.at("A2").utf8, "a.cn");
    EXPECT_EQ(book.cells.at("E2").utf8, "1.2.3.4");
}

TEST_F(ExportControllerTest, ARunGoingOnWhenTheFileIsWrittenKeepsTheButtonsDisabled) {
    // The run's worker shows its first message while the buttons are still enabled; the export
    // starts then, and the run disables the buttons before the file is written.
    m_runActive = true;
    m_dialog.answers.push_back(m_dir.File("out.xls"));

    QTest::mouseClick(m_window.ExportButton(), Qt::LeftButton);
    for (QPushButton* button : Held()) button->setEnabled(false);

    QTRY_VERIFY_WITH_TIMEOUT(!m_box.shown.empty(), 30000);
    EXPECT_EQ(m_box.shown[0].text, "导出成功!");
    EXPECT_FALSE(AnyHeldEnabled());
}

TEST_F(ExportControllerTest, CancelLeavesEverythingAsItWas) {
    QTest::mouseClick(m_window.ExportButton(), Qt::LeftButton);

    EXPECT_EQ(m_dialog.asked, 1);
    for (QPushButton* button : Held()) EXPECT_TRUE(button->isEnabled());
    EXPECT_TRUE(m_box.shown.empty());
    EXPECT_TRUE(m_opener.files.empty());
}

}  // namespace
