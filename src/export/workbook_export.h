#pragma once

#include <QObject>
#include <string>
#include <thread>

#include "common/message_box.h"
#include "common/save_dialog.h"
#include "common/shell_opener.h"
#include "results/result_model.h"

// The export button's work: asks for a file, copies the table, writes the workbook on a
// worker thread so the window stays responsive, then reports on the GUI thread: "导出成功!"
// and the file opened, or an error box and nothing opened.
class WorkbookExport final : public QObject {
    Q_OBJECT

  public:
    WorkbookExport(const ResultModel& model, SaveDialog& dialog, MessageBoxRoutine& box,
                   ShellOpener& opener, QObject* parent = nullptr);
    ~WorkbookExport() override;  // waits for a file still being written

    // Does nothing while a file is being written, and nothing at all when the dialog is
    // cancelled.
    void Start();

    bool IsWriting() const { return m_writing; }

  Q_SIGNALS:
    // True just before the worker starts, false when it has ended (before the report).
    void WritingChanged(bool writing);

  private:
    void Finish(bool written, const std::string& path);

    const ResultModel& m_model;
    SaveDialog& m_dialog;
    MessageBoxRoutine& m_box;
    ShellOpener& m_opener;
    std::thread m_worker;
    bool m_writing = false;
};
