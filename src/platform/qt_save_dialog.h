#pragma once

#include <QString>

#include "common/save_dialog.h"

class QWidget;

// The export's save dialog: "*.xls" files, the suffix xls added to a bare name, a prompt
// before an existing file is replaced. It offers the path chosen last; a cancel keeps it.
class QtSaveDialog final : public SaveDialog {
  public:
    explicit QtSaveDialog(QWidget* parent = nullptr) : m_parent(parent) {}

    std::optional<std::string> AskSavePath() override;

  private:
    QWidget* m_parent;
    QString m_lastPath;
};
