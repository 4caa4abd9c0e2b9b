#pragma once

#include <QDialog>
#include <functional>

#include "addresses/address_file.h"
#include "common/message_box.h"
#include "common/text.h"

class QPlainTextEdit;
class QPushButton;
class UserSettings;

// The frameless, always modal window that edits url.txt as one text.
class EditorWindow final : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kWidth = 375;
    static constexpr int kHeight = 492;

    // Loads url.txt at once. `onSaved` runs after a successful save, before the window
    // closes (the main window refreshes its address count there).
    EditorWindow(MessageBoxRoutine& messages, const AddressFile& file,
                 std::function<void()> onSaved, QWidget* parent = nullptr);

    QPlainTextEdit* AddressEdit() const { return m_edit; }
    QPushButton* SaveButton() const { return m_save; }
    QPushButton* DedupeButton() const { return m_dedupe; }
    QPushButton* ClearButton() const { return m_clear; }
    QPushButton* CloseButton() const { return m_close; }

    // The bytes a save would write now: the loaded bytes themselves while the text is
    // unchanged, else the edited text with its lines joined by CR LF.
    Text SaveBytes() const;
    // True when a save would change url.txt from what was loaded (typing, 去重复, 清空内容).
    bool HasUnsavedEdits() const { return SaveBytes() != m_loadedBytes; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void Save();
    // The close button: with unsaved edits, asks first whether to save (保存 / 不保存 / 取消).
    void CloseAsked();
    int AskToSave();
    void Dedupe();
    void Clear();
    // Shows `bytes` and keeps them as the text's unchanged state.
    void ShowBytes(Text bytes);
    // The text as the user sees it: what is shown, without anything past a zero byte.
    Text VisibleBytes() const;

    MessageBoxRoutine& m_messages;
    const AddressFile& m_file;
    std::function<void()> m_onSaved;
    Text m_loadedBytes;
    Text m_bytes;
    QPlainTextEdit* m_edit;
    QPushButton* m_save;
    QPushButton* m_dedupe;
    QPushButton* m_clear;
    QPushButton* m_close;
};

// Creates the editor, shows the reminder about http:// (unless the user ticked "不再提示" on it
// once; the tick is kept in `settings`), then shows the editor modally: every other window of
// the program takes no input until it has closed. Returns when it has closed.
void OpenAddressEditor(MessageBoxRoutine& messages, const AddressFile& file, UserSettings& settings,
                       std::function<void()> onSaved, QWidget* parent = nullptr);
