#include "app/shell_controller.h"

#include <QPushButton>
#include <cstdlib>
#include <utility>

#include "app/exit_confirmation.h"
#include "common/shell_opener.h"
#include "common/web_pages.h"
#include "ui/main_window.h"

void EndProcessAtOnce(int code) {
    // QApplication::exit would wait for the event loop and then for the worker's objects;
    // the opener has already handed the page to a detached process, so nothing is lost.
    std::_Exit(code);
}

ShellController::ShellController(MainWindow& window, MessageBoxRoutine& messages,
                                 ShellOpener& opener, std::function<void(int)> endProcess)
    : QObject(&window),
      m_messages(messages),
      m_opener(opener),
      m_endProcess(std::move(endProcess)) {
    connect(window.ExitButton(), &QPushButton::clicked, this, &ShellController::Exit);
    connect(window.UpgradeButton(), &QPushButton::clicked, this,
            [this] { m_opener.OpenInExplorer(Text(kHomePage)); });
    window.SetCloseQuery([this] { return CloseQuery(); });
}

void ShellController::Exit() {
    if (!ConfirmExit(m_messages)) return;
    m_opener.OpenInExplorer(Text(kHomePage));
    m_endProcess(0);
}

bool ShellController::CloseQuery() {
    if (!ConfirmExit(m_messages)) return false;
    m_opener.OpenInExplorer(Text(kHomePage));
    return true;
}
