#pragma once

#include <QObject>
#include <array>

class MainWindow;
class MessageBoxRoutine;
class QPushButton;
class SaveDialog;
class ShellOpener;
class WorkbookExport;

// The export button. While a file is being written, the buttons that would start another
// export, clear the table or start a run are disabled, and afterwards restored.
class ExportController final : public QObject {
    Q_OBJECT

  public:
    ExportController(MainWindow& window, SaveDialog& dialog, MessageBoxRoutine& box,
                     ShellOpener& opener);

  private:
    void HoldButtons(bool writing);

    WorkbookExport* m_export;
    std::array<QPushButton*, 3> m_held;
    std::array<bool, 3> m_wereEnabled{};
};
