#include "ui/editor_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>

#include "common/file_io.h"
#include "platform/qt_text.h"
#include "platform/user_settings.h"
#include "support/fakes.h"
#include "support/read_only_dir.h"
#include "support/temp_dir.h"

namespace {

const Text kSaved = "保存成功,数据保存在本软件目录下的url.txt";

void Plant(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// url.txt in a temporary directory, an editor on it and a record of count refreshes.
struct EditorFixture {
    explicit EditorFixture(const std::string* bytes) {
        if (bytes) Plant(file.Path(), *bytes);
        editor = std::make_unique<EditorWindow>(messages, file,
                                                [this] { counts.push_back(file.CountText()); });
        editor->show();
    }

    void Type(const QString& keys) {
        QTest::keyClick(edit(), Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(edit(), keys);
    }
    void Enter() { QTest::keyClick(edit(), Qt::Key_Return); }
    void Click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    QPlainTextEdit* edit() const { return editor->AddressEdit(); }
    // The shown lines, each turned back into bytes.
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        for (auto b = edit()->document()->begin(); b.isValid(); b = b.next()) {
            lines.push_back(FromQString(b.text()));
        }
        return lines;
    }

    TempDir dir;
    AddressFile file{dir.path()};
    FakeMessageBox messages;
    std::vector<Text> counts;
    std::unique_ptr<EditorWindow> editor;
};

TEST(EditorWindow, WindowAndControls) {
    FakeMessageBox messages;
    TempDir dir;
    const AddressFile file(dir.path());
    EditorWindow editor(messages, file, {});
    EXPECT_EQ(editor.size(), QSize(375, 492));
    EXPECT_TRUE(editor.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(FromQString(editor.windowTitle()), "url编辑器");
    EXPECT_EQ(editor.windowModality(), Qt::ApplicationModal);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(editor.pos(), QPoint((screen.width() - 375) / 2, (screen.height() - 492) / 2));

    struct Control {
        const char* name;
        QRect geometry;
        Text caption;
    };
    const Control buttons[] = {
        {"EditorSaveButton", {0, 362, 375, 32}, "保存数据"},
        {"EditorDedupeButton", {0, 394, 375, 32}, "去重复"},
        {"EditorClearButton", {0, 426, 375, 32}, "清空内容"},
        {"EditorCloseButton", {0, 458, 375, 32}, "关闭"},
    };
    for (const auto& b : buttons) {
        auto* button = editor.findChild<QPushButton*>(QString::fromLatin1(b.name));
        ASSERT_NE(button, nullptr) << b.name;
        EXPECT_EQ(button->geometry(), b.geometry) << b.name;
        EXPECT_EQ(FromQString(button->text()), b.caption) << b.name;
    }
    auto* edit = editor.findChild<QPlainTextEdit*>(QStringLiteral("AddressEdit"));
    ASSERT_EQ(edit, editor.AddressEdit());
    EXPECT_EQ(edit->geometry(), QRect(0, 0, 376, 367));
    EXPECT_EQ(edit->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(edit->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(edit->maximumBlockCount(), 0);
    EXPECT_FALSE(edit->isReadOnly());
    EXPECT_TRUE(messages.shown.empty());  // the reminder belongs to opening, not to building
}

TEST(EditorWindow, LoadShowsTheFileAndAnUnchangedSaveWritesItBack) {
    struct Case {
        const char* what;
        std::string bytes;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"CR LF at the end", "a\r\nb\r\n", {"a", "b", ""}},
        {"no CR LF at the end", "a\r\nb", {"a", "b"}},
        {"lone LF", "a\nb\r\nc", {"a", "b", "c"}},
        {"invalid GB18030", "\xFF\x80x\r\n\xB0\r\n\xD6", {"\xFF\x80x", "\xB0", "\xD6"}},
        {"zero byte", std::string("a\r\n\0tail", 8), {"a", ""}},
        {"chinese", "\xD6\xD0\xCE\xC4.com\r\n", {"\xD6\xD0\xCE\xC4.com", ""}},
    };
    for (const auto& c : cases) {
        EditorFixture f(&c.bytes);
        EXPECT_EQ(f.Lines(), c.lines) << c.what;

        f.Click(f.editor->SaveButton());
        EXPECT_EQ(ReadWholeFile(f.file.Path()), c.bytes) << c.what;
        ASSERT_EQ(f.messages.shown.size(), 1u) << c.what;
        EXPECT_EQ(f.messages.shown[0].text, kSaved);
        EXPECT_EQ(f.messages.shown[0].style, MessageBoxRoutine::kOk);
        EXPECT_EQ(f.messages.shown[0].caption, "信息：");
        EXPECT_EQ(f.counts.size(), 1u) << c.what;
        EXPECT_FALSE(f.editor->isVisible()) << c.what;
        EXPECT_EQ(f.editor->result(), QDialog::Accepted);
    }
}

TEST(EditorWindow, EditedTextIsSavedWithCrLfAndCounted) {
    struct Case {
        bool trailingEnter;
        std::string file;
    };
    for (const Case& c : {Case{false, "a\r\nb"}, Case{true, "a\r\nb\r\n"}}) {
        EditorFixture f(nullptr);
        EXPECT_EQ(f.Lines(), std::vector<std::string>{""});  // no file: an empty box
        f.Type(QStringLiteral("a"));
        f.Enter();
        f.Type(QStringLiteral("b"));
        if (c.trailingEnter) f.Enter();
        f.Click(f.editor->SaveButton());
        EXPECT_EQ(ReadWholeFile(f.file.Path()), c.file);
        EXPECT_EQ(f.counts, std::vector<Text>{"2"});
    }

    // An edit keeps the untouched invalid bytes and turns every line break into CR LF.
    const std::string bytes = "\xFF\x80x\nq";
    EditorFixture f(&bytes);
    f.Type(QStringLiteral("z"));
    f.Click(f.editor->SaveButton());
    EXPECT_EQ(ReadWholeFile(f.file.Path()), "\xFF\x80x\r\nqz");
}

TEST(EditorWindow, Dedupe) {
    struct Case {
        std::string file;
        std::string shown;
    };
    const Case cases[] = {
        {"abc\r\nbc\r\nxy\r\nabc", "abc\r\nbc\r\nxy\r\n"},
        {"bc\r\nabc", "bc\r\nabc\r\n"},
        {"Abc\r\nabc", "Abc\r\nabc\r\n"},
        {"a \r\na\r\na \r\n", "a \r\na\r\n"},
        {"\r\na\r\n\r\nb\r\n", "\r\na\r\nb\r\n"},
        {"a\r\n\r\nb", "a\r\nb\r\n"},
        {"", ""},
        // Works on the loaded bytes: a lone LF and invalid bytes come through untouched.
        {"x\ny\r\n\xFF\x80\r\nx\ny", "x\ny\r\n\xFF\x80\r\n"},
    };
    for (const auto& c : cases) {
        EditorFixture f(&c.file);
        f.Click(f.editor->DedupeButton());
        EXPECT_EQ(f.editor->SaveBytes(), c.shown) << c.file;
        f.Click(f.editor->DedupeButton());  // a second press changes nothing
        EXPECT_EQ(f.editor->SaveBytes(), c.shown) << c.file;
        EXPECT_EQ(ReadWholeFile(f.file.Path()), c.file) << "not saved by de-duplicating";
        f.Click(f.editor->SaveButton());
        EXPECT_EQ(ReadWholeFile(f.file.Path()), c.shown) << c.file;
    }
}

TEST(EditorWindow, NothingComesBackAfterClearOrDelete) {
    const std::string bytes = "a\r\nb\r\na";
    EditorFixture f(&bytes);
    f.Click(f.editor->DedupeButton());
    f.Click(f.editor->ClearButton());
    EXPECT_TRUE(f.edit()->toPlainText().isEmpty());
    f.Click(f.editor->DedupeButton());
    EXPECT_EQ(f.editor->SaveBytes(), "");

    f.Type(QStringLiteral("c"));
    f.Click(f.editor->DedupeButton());
    EXPECT_EQ(f.editor->SaveBytes(), "c\r\n");
    EXPECT_EQ(ReadWholeFile(f.file.Path()), bytes);  // clearing does not touch the file
}

TEST(EditorWindow, EmptySaveLeavesAnEmptyFile) {
    const std::string bytes = "a\r\nb\r\n";
    EditorFixture f(&bytes);
    f.Click(f.editor->ClearButton());
    f.Click(f.editor->SaveButton());
    EXPECT_TRUE(f.file.Exists());
    EXPECT_EQ(std::filesystem::file_size(f.file.Path()), 0u);
    EXPECT_EQ(f.counts, std::vector<Text>{"0"});
}

// Closing asks only when a save would change url.txt; 保存 saves and closes, 不保存 closes, 取消
// (or Esc on the question) keeps the editor open with its text. The desktop's own close asks
// the same. Esc on the editor never closes it.
TEST(EditorWindow, CloseWithUnsavedEditsAsksWhetherToSave) {
    struct Case {
        const char* name;
        std::string file;
        std::function<void(EditorFixture&)> edit;
        bool byDesktop;  // Alt+F4 instead of the close button
        int answer;
        bool asked;
        bool staysOpen;
        std::string fileAfter;
        std::vector<Text> counts;
    };
    const auto typeB = [](EditorFixture& f) { f.Type(QStringLiteral("b")); };
    const auto dedupe = [](EditorFixture& f) { f.Click(f.editor->DedupeButton()); };
    const auto clear = [](EditorFixture& f) { f.Click(f.editor->ClearButton()); };
    const auto nothing = [](EditorFixture&) {};
    const int save = MessageBoxRoutine::kResultOk;
    const int discard = MessageBoxRoutine::kResultDiscard;
    const int cancel = MessageBoxRoutine::kResultCancel;
    const Case cases[] = {
        {"unchanged", "a\r\n", nothing, false, save, false, false, "a\r\n", {}},
        {"de-duplicated to the same text", "a\r\n", dedupe, false, save, false, false, "a\r\n", {}},
        {"typed, 保存", "a\r\n", typeB, false, save, true, false, "a\r\nb", {"2"}},
        {"typed, 不保存", "a\r\n", typeB, false, discard, true, false, "a\r\n", {}},
        {"typed, 取消", "a\r\n", typeB, false, cancel, true, true, "a\r\n", {}},
        {"de-duplicated, 不保存",
         "a\r\na\r\n",
         dedupe,
         false,
         discard,
         true,
         false,
         "a\r\na\r\n",
         {}},
        {"cleared, 保存", "a\r\n", clear, false, save, true, false, "", {"0"}},
        {"typed, desktop close, 取消", "a\r\n", typeB, true, cancel, true, true, "a\r\n", {}},
        {"typed, desktop close, 不保存", "a\r\n", typeB, true, discard, true, false, "a\r\n", {}},
        {"typed, desktop close, 保存", "a\r\n", typeB, true, save, true, false, "a\r\nb", {"2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EditorFixture f(&c.file);
        c.edit(f);
        QTest::keyClick(f.edit(), Qt::Key_Escape);
        EXPECT_TRUE(f.editor->isVisible());
        const QString shownText = f.edit()->toPlainText();
        f.messages.answers = {c.answer};
        if (c.byDesktop) {
            f.editor->close();
        } else {
            f.Click(f.editor->CloseButton());
        }
        EXPECT_EQ(f.editor->isVisible(), c.staysOpen);
        EXPECT_EQ(ReadWholeFile(f.file.Path()), c.fileAfter);
        EXPECT_EQ(f.counts, c.counts);
        if (c.asked) {
            ASSERT_FALSE(f.messages.shown.empty());
            const auto& question = f.messages.shown.front();
            EXPECT_EQ(question.text, "网址已修改，是否保存到本软件目录下的url.txt？");
            EXPECT_EQ(question.style, MessageBoxRoutine::kSaveDiscardCancel);
            EXPECT_EQ(question.caption, "信息：");
        } else {
            EXPECT_TRUE(f.messages.shown.empty());
        }
        if (c.staysOpen) {
            EXPECT_EQ(f.edit()->toPlainText(), shownText);
        }
    }
}

TEST(EditorWindow, FailedSaveKeepsTheEditorOpen) {
    const std::string bytes = "a\r\n";
    EditorFixture f(&bytes);
    f.Type(QStringLiteral("b"));
    {
        const ReadOnlyDir readOnly(f.dir.path());
        f.Click(f.editor->SaveButton());
    }
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_EQ(f.messages.shown[0].text, "保存失败，无法写入本软件目录下的url.txt");
    EXPECT_EQ(f.messages.shown[0].caption, "错误");
    EXPECT_TRUE(f.editor->isVisible());
    EXPECT_EQ(f.editor->SaveBytes(), "a\r\nb");
    EXPECT_EQ(ReadWholeFile(f.file.Path()), bytes);
    EXPECT_TRUE(f.counts.empty());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(f.dir.path()), {}), 1);

    // Writable again, the same text saves.
    f.Click(f.editor->SaveButton());
    EXPECT_EQ(ReadWholeFile(f.file.Path()), "a\r\nb");
}

EditorWindow* VisibleEditor() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* editor = qobject_cast<EditorWindow*>(widget);
        if (editor && editor->isVisible()) return editor;
    }
    return nullptr;
}

TEST(OpenAddressEditor, RemindsThenBlocksOtherWindowsUntilClosed) {
    TempDir dir;
    const AddressFile file(dir.path());
    Plant(file.Path(), "a\r\n");
    QWidget other;
    auto* button = new QPushButton(QStringLiteral("x"), &other);
    button->setGeometry(0, 0, 80, 30);
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
    const QPoint inButton = button->geometry().center();

    FakeMessageBox messages;
    std::vector<std::string> events;
    messages.onShow = [&](const FakeMessageBox::Shown& shown) {
        events.push_back(shown.text);
        EXPECT_EQ(VisibleEditor(), nullptr) << "the editor is not up yet";
    };
    bool sawEditor = false;
    QTimer::singleShot(0, [&] {
        EditorWindow* editor = VisibleEditor();
        ASSERT_NE(editor, nullptr);
        sawEditor = true;
        events.push_back("editor");
        EXPECT_EQ(FromQString(editor->AddressEdit()->toPlainText()), "a\n");
        QTest::mouseClick(other.windowHandle(), Qt::LeftButton, {}, inButton);
        QTest::keyClick(other.windowHandle(), Qt::Key_Space);
        QApplication::processEvents();
        EXPECT_EQ(clicks, 0);
        QTest::mouseClick(editor->CloseButton(), Qt::LeftButton);
    });
    UserSettings settings(QString::fromStdString(dir.File("zarkel.conf")));
    OpenAddressEditor(messages, file, settings, {});
    EXPECT_TRUE(sawEditor);
    EXPECT_EQ(events, (std::vector<std::string>{"您输入的网址请不要加 http:// ", "editor"}));
    EXPECT_EQ(messages.shown[0].style, MessageBoxRoutine::kOk);
    EXPECT_EQ(messages.shown[0].caption, "信息：");
    EXPECT_EQ(messages.shown[0].tick, "不再提示");

    // Closed again, the other window takes input as before.
    EXPECT_TRUE(button->isEnabled());
    QTest::mouseClick(other.windowHandle(), Qt::LeftButton, {}, inButton);
    EXPECT_EQ(clicks, 1);
}

// The reminder comes at every opening until its "不再提示" is ticked; the tick is kept in the
// user's settings file, so a later run of the program remembers it too.
TEST(OpenAddressEditor, ReminderStopsOnceItsTickIsTicked) {
    TempDir dir;
    const AddressFile file(dir.path());
    const QString settingsFile = QString::fromStdString(dir.File("config/zarkel.conf"));
    FakeMessageBox messages;
    const auto openAndClose = [&](UserSettings& settings) {
        QTimer::singleShot(0, [] {
            if (EditorWindow* editor = VisibleEditor()) editor->CloseButton()->click();
        });
        OpenAddressEditor(messages, file, settings, {});
    };
    UserSettings settings(settingsFile);
    messages.ticks = {false};
    openAndClose(settings);
    EXPECT_EQ(messages.shown.size(), 1u);
    messages.ticks = {true};
    openAndClose(settings);
    EXPECT_EQ(messages.shown.size(), 2u);
    openAndClose(settings);
    EXPECT_EQ(messages.shown.size(), 2u);

    UserSettings nextRun(settingsFile);
    openAndClose(nextRun);
    EXPECT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(VisibleEditor(), nullptr);
}

}  // namespace
