#include "ui/address_editor_controller.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "addresses/address_file.h"
#include "common/file_io.h"
#include "platform/qt_text.h"
#include "platform/user_settings.h"
#include "support/fakes.h"
#include "support/temp_dir.h"
#include "ui/editor_window.h"
#include "ui/main_window.h"

namespace {

EditorWindow* VisibleEditor() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* editor = qobject_cast<EditorWindow*>(widget);
        if (editor && editor->isVisible()) return editor;
    }
    return nullptr;
}

class AddressEditorControllerTest : public ::testing::Test {
  protected:
    AddressEditorControllerTest() {
        new AddressEditorController(window, messages, addresses, settings);
        window.CountLabel()->setText(QStringLiteral("stale"));
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    // Presses EditAddressesButton; `inEditor` runs once the editor is up and must close it.
    void EditAddresses(const std::function<void(EditorWindow&)>& inEditor) {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            EditorWindow* editor = VisibleEditor();
            ASSERT_NE(editor, nullptr);
            ran = true;
            inEditor(*editor);
        });
        QTest::mouseClick(window.EditAddressesButton(), Qt::LeftButton);
        EXPECT_TRUE(ran);
        EXPECT_EQ(VisibleEditor(), nullptr);
    }

    Text Count() const { return FromQString(window.CountLabel()->text()); }

    TempDir dir;
    AddressFile addresses{dir.path()};
    UserSettings settings{QString::fromStdString(dir.File("zarkel.conf"))};
    FakeMessageBox messages;
    MainWindow window;
};

TEST_F(AddressEditorControllerTest, CloseLeavesTheFileAndRefreshesTheCount) {
    ASSERT_TRUE(WriteWholeFile(addresses.Path(), "a\r\nb\r\n"));
    // OK on the reminder, 不保存 on the question when closing.
    messages.answers = {MessageBoxRoutine::kResultOk, MessageBoxRoutine::kResultDiscard};
    EditAddresses([](EditorWindow& editor) {
        QTest::keyClicks(editor.AddressEdit(), QStringLiteral("x"));
        QTest::keyClick(editor.AddressEdit(), Qt::Key_Return);
        QTest::mouseClick(editor.CloseButton(), Qt::LeftButton);
    });
    EXPECT_EQ(ReadWholeFile(addresses.Path()), "a\r\nb\r\n");
    EXPECT_EQ(Count(), "2");
}

TEST_F(AddressEditorControllerTest, SaveRefreshesTheCount) {
    Text countAtSuccess;
    messages.onShow = [&](const FakeMessageBox::Shown&) { countAtSuccess = Count(); };
    EditAddresses([](EditorWindow& editor) {
        QTest::keyClicks(editor.AddressEdit(), QStringLiteral("a"));
        QTest::keyClick(editor.AddressEdit(), Qt::Key_Return);
        QTest::keyClicks(editor.AddressEdit(), QStringLiteral("b"));
        QTest::mouseClick(editor.SaveButton(), Qt::LeftButton);
    });
    EXPECT_EQ(ReadWholeFile(addresses.Path()), "a\r\nb");
    EXPECT_EQ(Count(), "2");
    ASSERT_EQ(messages.shown.size(), 2u);  // the reminder, then the success
    EXPECT_EQ(countAtSuccess, "stale");    // the count follows the message
}

TEST_F(AddressEditorControllerTest, MainWindowTakesNoInputWhileTheEditorIsOpen) {
    int clicks = 0;
    QObject::connect(window.UpgradeButton(), &QPushButton::clicked, [&] { ++clicks; });
    QPushButton* upgrade = window.UpgradeButton();
    const QPoint inUpgrade = upgrade->mapTo(&window, upgrade->rect().center());
    EditAddresses([&](EditorWindow& editor) {
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, inUpgrade);
        QTest::keyClick(window.windowHandle(), Qt::Key_Escape);
        QApplication::processEvents();
        EXPECT_EQ(clicks, 0);
        EXPECT_TRUE(window.isVisible());
        QTest::mouseClick(editor.CloseButton(), Qt::LeftButton);
    });
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, inUpgrade);
    EXPECT_EQ(clicks, 1);
}

}  // namespace
