#include "platform/qt_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

#include "platform/qt_text.h"

void QtClipboard::SetText(const Text& text) {
    if (QClipboard* clipboard = QGuiApplication::clipboard()) {
        clipboard->setText(ToQString(text), QClipboard::Clipboard);
    }
}
