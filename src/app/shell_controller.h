#pragma once

#include <QObject>
#include <functional>

#include "common/text.h"

class MainWindow;
class MessageBoxRoutine;
class ShellOpener;

// Ends the process at once with `code`: no handler, destructor or exit routine runs and no
// thread is waited for, so a query run's worker ends with it.
[[noreturn]] void EndProcessAtOnce(int code);

// The ways out of the program and the upgrade button. Every close request of the main window
// (close button, Alt+F4, Esc) and the exit button ask first; on OK the home page is opened.
class ShellController final : public QObject {
    Q_OBJECT

  public:
    // `endProcess` ends the program with the given exit code (EndProcessAtOnce in the
    // program).
    ShellController(MainWindow& window, MessageBoxRoutine& messages, ShellOpener& opener,
                    Text homePage, std::function<void(int)> endProcess);

  private:
    void Exit();
    bool CloseQuery();

    MessageBoxRoutine& m_messages;
    ShellOpener& m_opener;
    Text m_homePage;
    std::function<void(int)> m_endProcess;
};
