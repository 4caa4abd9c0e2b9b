#pragma once

class QCoreApplication;

// Makes Qt's own dialogs and buttons (file dialogs, their questions, standard buttons) speak
// Chinese, whatever the desktop's language, like the rest of the program. Returns false when
// Qt's translations are not installed; the dialogs then stay in English.
bool InstallQtTranslations(QCoreApplication& app);
