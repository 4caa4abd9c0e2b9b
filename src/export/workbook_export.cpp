#include "export/workbook_export.h"

#include <QMetaObject>
#include <utility>

#include "export/workbook_writing.h"
#include "platform/encoding.h"

WorkbookExport::WorkbookExport(const ResultModel& model, SaveDialog& dialog, MessageBoxRoutine& box,
                               ShellOpener& opener, QObject* parent)
    : QObject(parent), m_model(model), m_dialog(dialog), m_box(box), m_opener(opener) {}

WorkbookExport::~WorkbookExport() {
    if (m_worker.joinable()) m_worker.join();
}

void WorkbookExport::Start() {
    if (m_writing) return;
    const std::optional<std::string> path = m_dialog.AskSavePath();
    if (!path) return;

    m_writing = true;
    Q_EMIT WritingChanged(true);
    if (m_worker.joinable()) m_worker.join();
    m_worker = std::thread([this, path = *path, rows = TakeExportRows(m_model)] {
        const bool written = WriteWorkbook(path, rows);
        QMetaObject::invokeMethod(
            this, [this, written, path] { Finish(written, path); }, Qt::QueuedConnection);
    });
}

void WorkbookExport::Finish(bool written, const std::string& path) {
    m_worker.join();
    m_writing = false;
    Q_EMIT WritingChanged(false);
    if (!written) {
        // File names are UTF-8 bytes here; the message box takes code page 936.
        const Text shownPath = Utf8ToGb18030(path).value_or(path);
        m_box.Show(ConcatText({"导出失败，文件无法写入：", shownPath}), MessageBoxRoutine::kOk,
                   "错误");
        return;
    }
    m_box.Show("导出成功!", MessageBoxRoutine::kOkInformation);
    m_opener.OpenFile(path);
}
