#include "ui/address_editor_controller.h"

#include <QLabel>
#include <QPushButton>

#include "addresses/address_file.h"
#include "platform/qt_text.h"
#include "ui/editor_window.h"
#include "ui/main_window.h"

AddressEditorController::AddressEditorController(MainWindow& window, MessageBoxRoutine& messages,
                                                 const AddressFile& addresses,
                                                 UserSettings& settings)
    : QObject(&window),
      m_window(window),
      m_messages(messages),
      m_addresses(addresses),
      m_settings(settings) {
    connect(window.EditAddressesButton(), &QPushButton::clicked, this, [this] {
        OpenEditor();
        RefreshAddressCount();
    });
}

void AddressEditorController::OpenEditor() {
    OpenAddressEditor(
        m_messages, m_addresses, m_settings, [this] { RefreshAddressCount(); }, &m_window);
}

void AddressEditorController::RefreshAddressCount() {
    m_window.CountLabel()->setText(ToQString(m_addresses.CountText()));
}
