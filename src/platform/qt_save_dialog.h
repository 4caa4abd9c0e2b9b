#pragma once

#include <QDate>
#include <QString>
#include <functional>

#include "common/save_dialog.h"

class QWidget;
class UserSettings;

// The export's save dialog: "*.xls" files, the suffix xls added to a bare name, a prompt
// before an existing file is replaced. It offers the path chosen last in this run of the program;
// before that, a name made of `nameStem` and today's date (YYYY-MM-DD) with ".xls", in the folder
// chosen last (kept in the user's settings) or, the first time, the user's documents folder.
// A cancel changes nothing.
class QtSaveDialog final : public SaveDialog {
  public:
    // `today` replaces the date (tests).
    QtSaveDialog(UserSettings& settings, QString nameStem, QWidget* parent = nullptr,
                 std::function<QDate()> today = {});

    std::optional<std::string> AskSavePath() override;

  private:
    QString FirstFolder() const;

    UserSettings& m_settings;
    QString m_nameStem;
    QWidget* m_parent;
    std::function<QDate()> m_today;
    QString m_lastPath;
};
