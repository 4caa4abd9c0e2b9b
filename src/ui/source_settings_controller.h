#pragma once

#include <QObject>
#include <functional>

#include "platform/settings_store.h"
#include "ui/source_settings_dialog.h"

class MainWindow;
class MessageBoxRoutine;

// Opens "数据源设置" from Ctrl+, in the main window and from the tips pane's settings link
// (zarkel:settings). After OK it stores the values and hands every stored value to `applied`,
// which gives them to whatever runs the lookup service.
class SourceSettingsController final : public QObject {
    Q_OBJECT

  public:
    using Applied = std::function<void(const ConfigValues& stored)>;

    SourceSettingsController(MainWindow& window, const SettingsStore& store, MessageBoxRoutine& box,
                             Applied applied, SourceSettingsDialog::Environment environment,
                             SourceSettingsDialog::FileChooser chooseFile);

    // Shows the dialog and waits for it to close.
    void Open();

  private:
    MainWindow& m_window;
    const SettingsStore& m_store;
    MessageBoxRoutine& m_box;
    Applied m_applied;
    SourceSettingsDialog::Environment m_environment;
    SourceSettingsDialog::FileChooser m_chooseFile;
    bool m_open = false;
};

// The file dialog of the rank list's browse button.
QString ChooseRankListFile(QWidget* parent);

// The address of the tips pane's link to the dialog.
inline constexpr const char* kSettingsLink = "zarkel:settings";
