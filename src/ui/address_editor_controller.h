#pragma once

#include <QObject>

class AddressFile;
class MainWindow;
class MessageBoxRoutine;
class UserSettings;

// The address editor as the main window opens it: from EditAddressesButton, and at start-up
// when url.txt is missing. CountLabel follows every save and every close of the editor.
class AddressEditorController final : public QObject {
    Q_OBJECT

  public:
    // `settings` keeps the reminder's "不再提示".
    AddressEditorController(MainWindow& window, MessageBoxRoutine& messages,
                            const AddressFile& addresses, UserSettings& settings);

    // Opens the editor modally and returns when it has closed; a save refreshes CountLabel.
    void OpenEditor();

    // CountLabel from url.txt as it is now.
    void RefreshAddressCount();

  private:
    MainWindow& m_window;
    MessageBoxRoutine& m_messages;
    const AddressFile& m_addresses;
    UserSettings& m_settings;
};
