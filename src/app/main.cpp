#include <QApplication>

#include "addresses/address_file.h"
#include "query/lookup.h"
#include "query/service_host.h"
#include "ui/main_window.h"
#include "ui/main_window_creation.h"
#include "ui/query_controller.h"
#include "ui/run_window_bridge.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const AddressFile addresses(ProgramDirectory());
    MainWindow window;
    RunCreationHandler(window, addresses);
    RunWindowBridge runWindow(window);
    ServiceLookup lookup(ServiceHost());
    // Declared last, so that it goes first at the end: a run still going is abandoned then.
    QueryController queries(window, runWindow, addresses, lookup);
    window.show();
    return QApplication::exec();
}
