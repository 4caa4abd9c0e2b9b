#include <QApplication>

#include "addresses/address_file.h"
#include "ui/main_window.h"
#include "ui/main_window_creation.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const AddressFile addresses(ProgramDirectory());
    MainWindow window;
    RunCreationHandler(window, addresses);
    window.show();
    return QApplication::exec();
}
