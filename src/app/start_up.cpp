#include "app/start_up.h"

#include "addresses/address_file.h"
#include "app/skin.h"
#include "common/file_io.h"
#include "common/message_box.h"
#include "ui/address_editor_controller.h"
#include "ui/main_window_creation.h"

void RunStartUpCreation(MainWindow& window, const Skin& skin, MessageBoxRoutine& messages,
                        AddressEditorController& editor, const AddressFile& addresses) {
    // Saves of url.txt that a kill cut short leave their temporary files behind.
    RemoveStaleTemporaries(addresses.Path());
    CreationHooks hooks;
    hooks.applySkin = [&skin] { skin.ApplySkin(0, 0, 0); };
    hooks.addressFileMissing = [&messages, &editor] {
        messages.Show("没有检测到您的网址数据，请在弹开的窗口中输入", MessageBoxRoutine::kOk,
                      "错误");
        // A save in the editor refreshes the count itself; a close leaves it at 0.
        editor.OpenEditor();
    };
    RunCreationHandler(window, addresses, hooks);
}
