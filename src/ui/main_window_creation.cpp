#include "ui/main_window_creation.h"

#include <QLabel>
#include <QPushButton>

#include "addresses/address_file.h"
#include "platform/qt_text.h"
#include "ui/main_window.h"

void RunCreationHandler(MainWindow& window, const AddressFile& addresses,
                        const CreationHooks& hooks) {
    if (hooks.applySkin) hooks.applySkin();
    window.CountLabel()->setText(ToQString(addresses.CountText()));
    const Text missing = "文件不存在";
    window.FileCheckLabel()->setText(ToQString(addresses.Exists() ? Text("文件存在") : missing));
    if (FromQString(window.FileCheckLabel()->text()) == missing && hooks.addressFileMissing) {
        hooks.addressFileMissing();
    }
    window.StopButton()->setEnabled(false);
    window.ExportButton()->setEnabled(false);
    window.ClearListButton()->setEnabled(false);
}
