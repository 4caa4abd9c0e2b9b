#include <QApplication>
#include <QWidget>

#include "platform/qt_text.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(ToQString("Zarkel V1.0"));
    window.setFixedSize(966, 528);
    window.show();
    return QApplication::exec();
}
