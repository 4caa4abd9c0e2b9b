#include "export/workbook_export.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "common/file_io.h"
#include "support/fake_save_dialog.h"
#include "support/fakes.h"
#include "support/read_only_dir.h"
#include "support/temp_dir.h"
#include "support/workbook_reader.h"

namespace {

class WorkbookExportTest : public ::testing::Test {
  protected:
    WorkbookExportTest() : m_export(m_model, m_dialog, m_box, m_opener) {
        for (const char* site : {"a.cn", "b.cn"}) {
            const int row = m_model.AppendRow();
            m_model.SetCell(row, 0, site);
            m_model.SetCell(row, 1, "×");
        }
    }

    // Starts an export that the dialog answers with `path` and waits until it has reported.
    void ExportTo(const std::string& path) {
        m_dialog.answers.push_back(path);
        QSignalSpy writing(&m_export, &WorkbookExport::WritingChanged);
        m_export.Start();
        ASSERT_EQ(writing.count(), 1);
        ASSERT_TRUE(writing.wait(30000));
        EXPECT_EQ(writing.at(0).at(0).toBool(), true);
        EXPECT_EQ(writing.at(1).at(0).toBool(), false);
        EXPECT_FALSE(m_export.IsWriting());
    }

    TempDir m_dir;
    ResultModel m_model;
    FakeSaveDialog m_dialog;
    FakeMessageBox m_box;
    FakeShellOpener m_opener;
    WorkbookExport m_export;
};

TEST_F(WorkbookExportTest, WrittenFileIsAnnouncedThenOpened) {
    const std::string path = m_dir.File("out.xls");
    m_box.onShow = [&](const FakeMessageBox::Shown&) { EXPECT_TRUE(m_opener.files.empty()); };

    ExportTo(path);

    ASSERT_EQ(m_box.shown.size(), 1u);
    EXPECT_EQ(m_box.shown[0].text, "导出成功!");
    EXPECT_EQ(m_box.shown[0].style, MessageBoxRoutine::kOkInformation);
    EXPECT_EQ(m_box.shown[0].caption, "信息：");
    EXPECT_EQ(m_opener.files, std::vector<std::string>{path});
    const ReadBackWorkbook book = ReadWorkbook(path);
    ASSERT_TRUE(book.ok);
    EXPECT_EQ(book.cells.at("A3").utf8, "b.cn");
    EXPECT_EQ(book.cells.at("B2").utf8, Utf8(u8"×"));
}

TEST_F(WorkbookExportTest, CancelWritesAndShowsNothing) {
    QSignalSpy writing(&m_export, &WorkbookExport::WritingChanged);

    m_export.Start();

    EXPECT_EQ(m_dialog.asked, 1);
    EXPECT_EQ(writing.count(), 0);
    EXPECT_TRUE(m_box.shown.empty());
    EXPECT_TRUE(m_opener.files.empty());
    EXPECT_TRUE(std::filesystem::is_empty(m_dir.path()));
}

TEST_F(WorkbookExportTest, UnwritableFileIsAnErrorAndOpensNothing) {
    // Tests run as root, so permissions stop nothing: use a directory and a path under a file.
    std::filesystem::create_directory(m_dir.File("taken.xls"));
    std::ofstream(m_dir.File("plain")) << "x";

    for (const std::string& path : {m_dir.File("taken.xls"), m_dir.File("plain") + "/out.xls"}) {
        SCOPED_TRACE(path);
        m_box.shown.clear();

        ExportTo(path);

        ASSERT_EQ(m_box.shown.size(), 1u);
        EXPECT_EQ(m_box.shown[0].text, "导出失败，文件无法写入：" + path);
        EXPECT_EQ(m_box.shown[0].caption, "错误");
        EXPECT_TRUE(m_opener.files.empty());
    }
}

TEST_F(WorkbookExportTest, FailedOverwriteKeepsTheChosenFile) {
    const std::string path = m_dir.File("kept.xls");
    ASSERT_TRUE(WriteWholeFile(path, "old bytes"));
    {
        // The file itself stays writable; only the folder, where the new file is made, is not.
        const ReadOnlyDir readOnly(m_dir.path());
        ExportTo(path);
    }

    ASSERT_EQ(m_box.shown.size(), 1u);
    EXPECT_EQ(m_box.shown[0].text, "导出失败，文件无法写入：" + path);
    EXPECT_EQ(m_box.shown[0].caption, "错误");
    EXPECT_TRUE(m_opener.files.empty());
    EXPECT_EQ(ReadWholeFile(path), "old bytes");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir.path()), {}), 1);
}

TEST_F(WorkbookExportTest, RowsAreTakenWhenTheExportStarts) {
    const std::string path = m_dir.File("snapshot.xls");
    m_dialog.answers.push_back(path);
    QSignalSpy writing(&m_export, &WorkbookExport::WritingChanged);

    m_export.Start();
    // While the file is being written: a second export is refused and the table changes.
    m_export.Start();
    m_model.DeleteRow(0);
    m_model.SetCell(m_model.AppendRow(), 0, "late.cn");
    ASSERT_TRUE(writing.wait(30000));

    EXPECT_EQ(m_dialog.asked, 1);
    const ReadBackWorkbook book = ReadWorkbook(path);
    ASSERT_TRUE(book.ok);
    EXPECT_EQ(book.maxRow, 3);
    EXPECT_EQ(book.cells.at("A2").utf8, "a.cn");
    EXPECT_EQ(book.cells.at("A3").utf8, "b.cn");
}

}  // namespace
