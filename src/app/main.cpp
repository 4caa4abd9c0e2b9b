#include <QApplication>
#include <memory>
#include <string>

#include "addresses/address_file.h"
#include "platform/qt_clipboard.h"
#include "platform/qt_message_box.h"
#include "platform/qt_save_dialog.h"
#include "platform/xdg_opener.h"
#include "query/lookup.h"
#include "query/service_host.h"
#include "service/lookup_service.h"
#include "ui/export_controller.h"
#include "ui/filter_controller.h"
#include "ui/main_window.h"
#include "ui/main_window_creation.h"
#include "ui/query_controller.h"
#include "ui/row_menu_controller.h"
#include "ui/run_window_bridge.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);

    // Without a configured service the program serves the figures itself, on loopback.
    // Declared first, so it outlives the window and any run.
    std::unique_ptr<LookupService> embeddedService;
    std::string serviceHost = ServiceHost();
    if (serviceHost.empty()) {
        embeddedService = LookupService::Start(ServiceSettingsFromEnvironment(), "127.0.0.1", 0);
        if (embeddedService) serviceHost = "127.0.0.1:" + std::to_string(embeddedService->Port());
    }

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
    RunWindowBridge runWindow(window);
    ServiceLookup lookup(serviceHost);
    // Declared last, so that it goes first at the end: a run still going is abandoned then.
    QueryController queries(window, runWindow, addresses, lookup);
    window.show();
    return QApplication::exec();
}
