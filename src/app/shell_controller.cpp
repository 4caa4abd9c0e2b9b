#include "app/shell_controller.h"

#include <QPushButton>
#include <cstdlib>
#include <utility>

#include "app/exit_confirmation.h"
#include "common/shell_opener.h"
#include "ui/main_window.h"

void EndProcessAtOnce(int code) {
    // QApplication::exit would wait for the event loop and then for the worker's objects;
    // the opener has already handed the page to a detached process, so nothing is lost.
    std::_Exit(code);
}

ShellController::ShellController(MainWindow& window, MessageBoxRoutine& messages,
                                 ShellOpener& opener, Text homePage,
                                 std::function<void(int)> endProcess)
    : QObject(&window),
      m_messages(messages),
      m_opener(opener),
      m_homePage(std::move(homePage)),
      m_endProcess(std::move(endProcess)) {
    connect(window.ExitButton(), &QPushButton::clicked, this, &ShellController::Exit);
    connect(window.UpgradeButton(), &QPushButton::clicked, this,
            [this] { m_opener.OpenInExplorer(m_homePage); });
    window.SetCloseQuery([this] { return CloseQuery(); });
}

void ShellController::Exit() {
    if (!ConfirmExit(m_messages)) return;
    m_opener.OpenInExplorer(m_homePage);
    m_endProcess(0);
}

bool ShellController::CloseQuery() {
    if (!ConfirmExit(m_messages)) return false;
    m_opener.OpenInExplorer(m_homePage);
    return true;
}
