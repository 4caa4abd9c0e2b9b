#pragma once

#include <QObject>
#include <array>
#include <functional>

class MainWindow;
class MessageBoxRoutine;
class QPushButton;
class SaveDialog;
class ShellOpener;
class WorkbookExport;

// The export button. While a file is being written, the buttons that would start another
// export, clear the table or start a run are disabled, and afterwards restored, unless a query
// run is going on by then: the run disables them too and enables them when it ends.
class ExportController final : public QObject {
    Q_OBJECT

  public:
    // `isRunActive` tells whether a query run is going on.
    ExportController(MainWindow& window, SaveDialog& dialog, MessageBoxRoutine& box,
                     ShellOpener& opener, std::function<bool()> isRunActive);

  private:
    void HoldButtons(bool writing);

    std::function<bool()> m_isRunActive;
    WorkbookExport* m_export;
    std::array<QPushButton*, 3> m_held;
    std::array<bool, 3> m_wereEnabled{};
};
