#include "platform/qt_clipboard.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>

TEST(QtClipboardTest, PutsPlainTextOnTheSystemClipboard) {
    QGuiApplication::clipboard()->setText(QStringLiteral("before"), QClipboard::Clipboard);
    QtClipboard clipboard;

    clipboard.SetText("http://例子.cn/");

    EXPECT_EQ(QGuiApplication::clipboard()->text(QClipboard::Clipboard),
              QString::fromUtf8(u8"http://例子.cn/"));
}
