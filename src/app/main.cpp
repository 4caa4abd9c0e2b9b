#include <QApplication>

#include "addresses/address_file.h"
#include "platform/qt_clipboard.h"
#include "platform/qt_message_box.h"
#include "platform/qt_save_dialog.h"
#include "platform/xdg_opener.h"
#include "ui/export_controller.h"
#include "ui/filter_controller.h"
#include "ui/main_window.h"
#include "ui/main_window_creation.h"
#include "ui/row_menu_controller.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const AddressFile addresses(ProgramDirectory());
    QtMessageBox box;
    XdgOpener opener;
    QtClipboard clipboard;
    MainWindow window;
    QtSaveDialog saveDialog(&window);
    new FilterController(window, box);
    new ExportController(window, saveDialog, box, opener);
    new RowMenuController(window, {opener, clipboard, box});
    RunCreationHandler(window, addresses);
    window.show();
    return QApplication::exec();
}
