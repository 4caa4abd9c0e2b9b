#include "app/start_up.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "addresses/address_file.h"
#include "app/embedded_skin.h"
#include "app/skin.h"
#include "common/file_io.h"
#include "platform/qt_text.h"
#include "platform/user_settings.h"
#include "support/fakes.h"
#include "support/read_only_dir.h"
#include "support/temp_dir.h"
#include "ui/address_editor_controller.h"
#include "ui/editor_window.h"
#include "ui/main_window.h"

namespace {

namespace fs = std::filesystem;

EditorWindow* VisibleEditor() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* editor = qobject_cast<EditorWindow*>(widget);
        if (editor && editor->isVisible()) return editor;
    }
    return nullptr;
}

// The start-up as main() runs it, with a program directory, a working directory and a system
// directory of its own, and scripted message boxes.
class StartUpTest : public ::testing::Test {
  protected:
    void SetUp() override { qApp->setStyleSheet(QString()); }
    void TearDown() override { qApp->setStyleSheet(QString()); }

    // Runs the start-up to the first display of the main window. Every message box and the
    // editor's appearance are noted in `events`, with whether the main window was visible.
    void Start() {
        Skin skin(program.path(), system.path(), SkinLibraryImage(), SkinData());
        PrepareSkin(skin, work.path());
        auto* editor = new AddressEditorController(window, messages, addresses, settings);
        messages.onShow = [this](const FakeMessageBox::Shown& shown) {
            events.push_back(shown.caption + ":" + shown.text);
            mainWindowSeen |= window.isVisible();
            if (shown.text == "您输入的网址请不要加 http:// ") {
                QTimer::singleShot(0, [this] { InEditor(); });
            }
        };
        RunStartUpCreation(window, skin, messages, *editor, addresses);
        window.show();
        events.push_back("main window");
    }

    void InEditor() {
        EditorWindow* editor = VisibleEditor();
        ASSERT_NE(editor, nullptr);
        events.push_back("editor");
        mainWindowSeen |= window.isVisible();
        if (typeInEditor.empty()) {
            QTest::mouseClick(editor->CloseButton(), Qt::LeftButton);
            return;
        }
        QTest::keyClicks(editor->AddressEdit(), ToQString(typeInEditor));
        QTest::mouseClick(editor->SaveButton(), Qt::LeftButton);
    }

    Text Caption(const QLabel* label) const { return FromQString(label->text()); }

    void ExpectButtonsWaitingForARun() const {
        EXPECT_FALSE(window.StopButton()->isEnabled());
        EXPECT_FALSE(window.ExportButton()->isEnabled());
        EXPECT_FALSE(window.ClearListButton()->isEnabled());
        EXPECT_TRUE(window.StartButton()->isEnabled());
        EXPECT_TRUE(window.EditAddressesButton()->isEnabled());
    }

    bool Skinned() const { return !qApp->styleSheet().isEmpty(); }

    TempDir program;
    TempDir work;
    TempDir system;
    AddressFile addresses{program.path()};
    UserSettings settings{QString::fromStdString(work.File("zarkel.conf"))};
    FakeMessageBox messages;
    MainWindow window;
    Text typeInEditor;
    std::vector<Text> events;
    bool mainWindowSeen = false;
};

const Text kMissing = "错误:没有检测到您的网址数据，请在弹开的窗口中输入";
const Text kReminder = "信息：:您输入的网址请不要加 http:// ";

TEST_F(StartUpTest, MissingAddressFileLeadsThroughTheEditorFirst) {
    Start();
    EXPECT_EQ(events, (std::vector<Text>{kMissing, kReminder, "editor", "main window"}));
    EXPECT_FALSE(mainWindowSeen);
    EXPECT_EQ(messages.shown[0].style, MessageBoxRoutine::kOk);
    EXPECT_EQ(Caption(window.CountLabel()), "0");
    EXPECT_EQ(Caption(window.FileCheckLabel()), "文件不存在");
    EXPECT_FALSE(addresses.Exists());
    ExpectButtonsWaitingForARun();
    EXPECT_TRUE(Skinned());
}

TEST_F(StartUpTest, AddressesSavedInTheFirstEditorAreCounted) {
    typeInEditor = "a.com";
    Start();
    EXPECT_EQ(events, (std::vector<Text>{kMissing, kReminder, "editor",
                                         "信息：:保存成功,数据保存在本软件目录下的url.txt",
                                         "main window"}));
    EXPECT_EQ(ReadWholeFile(addresses.Path()), "a.com");
    EXPECT_EQ(Caption(window.CountLabel()), "1");
    // Noted before the editor ran, and never again.
    EXPECT_EQ(Caption(window.FileCheckLabel()), "文件不存在");
}

TEST_F(StartUpTest, PresentAddressFileNeedsNoMessage) {
    for (const Text& bytes : {Text("a\r\nb\r\n"), Text()}) {
        ASSERT_TRUE(WriteWholeFile(addresses.Path(), bytes));
        Start();
        EXPECT_EQ(events, std::vector<Text>{"main window"});
        EXPECT_EQ(Caption(window.CountLabel()), bytes.empty() ? "0" : "2");
        EXPECT_EQ(Caption(window.FileCheckLabel()), "文件存在");
        ExpectButtonsWaitingForARun();
        events.clear();
    }
}

TEST_F(StartUpTest, SkinLibraryGoesToTheWorkingDirectory) {
    ASSERT_TRUE(WriteWholeFile(addresses.Path(), "a\r\n"));
    Start();
    EXPECT_EQ(ReadWholeFile(work.File("jedata.dll")), SkinLibraryImage());
    EXPECT_FALSE(fs::exists(program.File("jedata.dll")));
    EXPECT_FALSE(fs::exists(work.File("url.txt")));
    EXPECT_EQ(Caption(window.CountLabel()), "1");
    EXPECT_TRUE(Skinned());
}

TEST_F(StartUpTest, UnwritableWorkingDirectoryStartsWithoutSkinOrMessage) {
    ASSERT_TRUE(WriteWholeFile(addresses.Path(), "a\r\n"));
    ASSERT_TRUE(WriteWholeFile(work.File("jedata.dll"), "planted, not the carried library"));
    {
        const ReadOnlyDir readOnly(work.path());
        Start();
    }
    EXPECT_EQ(events, std::vector<Text>{"main window"});
    EXPECT_FALSE(Skinned());
    EXPECT_EQ(Caption(window.CountLabel()), "1");
    ExpectButtonsWaitingForARun();
}

}  // namespace
