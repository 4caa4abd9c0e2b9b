#include "ui/editor_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextDocument>
#include <utility>

#include "addresses/address_text.h"
#include "platform/qt_text.h"
#include "platform/user_settings.h"
#include "ui/program_texts.h"

namespace {

constexpr const char* kTitle = "url编辑器";
constexpr const char* kReminder = "您输入的网址请不要加 http:// ";
constexpr const char* kSaved = "保存成功,数据保存在本软件目录下的url.txt";
constexpr const char* kSaveFailed = "保存失败，无法写入本软件目录下的url.txt";
constexpr const char* kErrorCaption = "错误";
constexpr char kNoReminderKey[] = "editor/noHttpReminder";

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption, int top) {
    auto* button = new QPushButton(ToQString(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(0, top, EditorWindow::kWidth, 32);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

EditorWindow::EditorWindow(MessageBoxRoutine& messages, const AddressFile& file,
                           std::function<void()> onSaved, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      m_messages(messages),
      m_file(file),
      m_onSaved(std::move(onSaved)) {
    setObjectName(QStringLiteral("EditorWindow"));
    setWindowTitle(ToQString(kTitle));
    setFixedSize(kWidth, kHeight);
    setWindowModality(Qt::ApplicationModal);
    QPalette face = palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    setPalette(face);
    setAutoFillBackground(true);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - kWidth) / 2, area.y() + (area.height() - kHeight) / 2);
    }

    // Created before the buttons so that the save button covers the edit box's lower edge.
    m_edit = new QPlainTextEdit(this);
    m_edit->setObjectName(QStringLiteral("AddressEdit"));
    m_edit->setGeometry(0, 0, 376, 367);
    m_edit->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    m_edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_edit->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_edit->setTabChangesFocus(true);
    QPalette colours = m_edit->palette();
    colours.setColor(QPalette::Base, Qt::white);
    colours.setColor(QPalette::Text, Qt::black);
    // The selection is hidden while the box does not have the focus.
    colours.setColor(QPalette::Inactive, QPalette::Highlight, Qt::white);
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText, Qt::black);
    m_edit->setPalette(colours);

    m_save = MakeButton(this, "EditorSaveButton", "保存数据", 362);
    m_dedupe = MakeButton(this, "EditorDedupeButton", "去重复", 394);
    m_clear = MakeButton(this, "EditorClearButton", "清空内容", 426);
    m_close = MakeButton(this, "EditorCloseButton", "关闭", 458);
    connect(m_save, &QPushButton::clicked, this, &EditorWindow::Save);
    connect(m_dedupe, &QPushButton::clicked, this, &EditorWindow::Dedupe);
    connect(m_clear, &QPushButton::clicked, this, &EditorWindow::Clear);
    connect(m_close, &QPushButton::clicked, this, &EditorWindow::CloseAsked);

    m_loadedBytes = LoadAddressText(m_file);
    ShowBytes(m_loadedBytes);
    m_edit->setFocus();
}

Text EditorWindow::SaveBytes() const {
    return m_edit->document()->isModified() ? VisibleBytes() : m_bytes;
}

Text EditorWindow::VisibleBytes() const {
    if (!m_edit->document()->isModified()) return BytesToText(m_bytes);
    // The raw text keeps no-break spaces; paragraph and line separators are the line breaks
    // the user sees, written back as CR LF.
    QString text = m_edit->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    text.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
    return FromQString(text);
}

void EditorWindow::ShowBytes(Text bytes) {
    m_bytes = std::move(bytes);
    // A zero byte ends the text the program uses; what follows it is kept, not shown.
    m_edit->setPlainText(ToQString(BytesToText(m_bytes)));
    m_edit->document()->setModified(false);
}

void EditorWindow::Save() {
    if (!SaveAddressText(m_file, SaveBytes())) {
        m_messages.Show(kSaveFailed, MessageBoxRoutine::kOk, kErrorCaption);
        return;
    }
    m_messages.Show(kSaved);
    if (m_onSaved) m_onSaved();
    accept();
}

void EditorWindow::Dedupe() {
    ShowBytes(DedupeAddressLines(VisibleBytes()));
}

void EditorWindow::Clear() {
    ShowBytes({});
}

int EditorWindow::AskToSave() {
    return m_messages.Show(Text(kEditorSaveQuestion), MessageBoxRoutine::kSaveDiscardCancel);
}

void EditorWindow::CloseAsked() {
    if (!HasUnsavedEdits()) {
        accept();
        return;
    }
    switch (AskToSave()) {
        case MessageBoxRoutine::kResultOk:
            Save();  // closes the editor once the file is written
            return;
        case MessageBoxRoutine::kResultDiscard:
            accept();
            return;
        default:
            return;
    }
}

void EditorWindow::closeEvent(QCloseEvent* event) {
    // The desktop's own close (Alt+F4) asks like the close button.
    if (!HasUnsavedEdits()) {
        QDialog::closeEvent(event);
        return;
    }
    const int answer = AskToSave();
    if (answer == MessageBoxRoutine::kResultDiscard) {
        QDialog::closeEvent(event);
        return;
    }
    event->ignore();
    if (answer == MessageBoxRoutine::kResultOk) Save();
}

void EditorWindow::keyPressEvent(QKeyEvent* event) {
    // Esc would close the editor and lose the text; only the close button does that.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void OpenAddressEditor(MessageBoxRoutine& messages, const AddressFile& file, UserSettings& settings,
                       std::function<void()> onSaved, QWidget* parent) {
    EditorWindow editor(messages, file, std::move(onSaved), parent);
    const QString noReminder = QString::fromLatin1(kNoReminderKey);
    if (!settings.Value(noReminder, false).toBool()) {
        bool ticked = false;
        messages.ShowWithTick(kReminder, Text(kDontRemindTick), ticked);
        if (ticked) settings.SetValue(noReminder, true);
    }
    editor.exec();
}
