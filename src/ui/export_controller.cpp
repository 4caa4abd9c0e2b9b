#include "ui/export_controller.h"

#include <QPushButton>
#include <utility>

#include "export/workbook_export.h"
#include "ui/main_window.h"

ExportController::ExportController(MainWindow& window, SaveDialog& dialog, MessageBoxRoutine& box,
                                   ShellOpener& opener, std::function<bool()> isRunActive)
    : QObject(&window),
      m_isRunActive(std::move(isRunActive)),
      m_export(new WorkbookExport(window.Results(), dialog, box, opener, this)),
      m_held{window.ExportButton(), window.ClearListButton(), window.StartButton()} {
    connect(window.ExportButton(), &QPushButton::clicked, m_export, &WorkbookExport::Start);
    connect(m_export, &WorkbookExport::WritingChanged, this, &ExportController::HoldButtons);
}

void ExportController::HoldButtons(bool writing) {
    // A run that started before the export (its worker may still have had the buttons enabled
    // then) keeps them disabled until it ends.
    if (!writing && m_isRunActive()) return;
    for (std::size_t i = 0; i < m_held.size(); ++i) {
        if (writing) {
            m_wereEnabled[i] = m_held[i]->isEnabled();
            m_held[i]->setEnabled(false);
        } else {
            m_held[i]->setEnabled(m_wereEnabled[i]);
        }
    }
}
