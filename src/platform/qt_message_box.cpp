#include "platform/qt_message_box.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>

#include "platform/qt_text.h"

namespace {

// QMessageBox turns Esc and the close button of a box with OK alone into a press of OK; here
// they are a dismissal, as in a box that has Cancel.
class DismissibleBox final : public QMessageBox {
  public:
    bool dismissed() const { return m_dismissed; }

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->matches(QKeySequence::Cancel)) m_dismissed = true;
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent* event) override {
        if (!clickedButton()) m_dismissed = true;
        QMessageBox::closeEvent(event);
    }

  private:
    bool m_dismissed = false;
};

}  // namespace

QPushButton* FillMessageBox(QMessageBox& box, const Text& text, int style, const Text& caption) {
    box.setWindowTitle(ToQString(caption));
    // Addresses and replies may look like markup; they are shown as they are.
    box.setTextFormat(Qt::PlainText);
    box.setText(ToQString(text));
    // The style number keeps its bits: 64 the information icon, 32 the question icon; the low
    // nibble 1 OK and Cancel, 3 Save, Don't save and Cancel.
    if ((style & MessageBoxRoutine::kOkInformation) != 0) {
        box.setIcon(QMessageBox::Information);
    } else if ((style & 32) != 0) {
        box.setIcon(QMessageBox::Question);
    } else {
        box.setIcon(QMessageBox::NoIcon);
    }
    // The button texts of the program's own language, whatever the desktop's locale.
    const bool saveQuestion = (style & 0x0F) == 3;
    QPushButton* ok = box.addButton(saveQuestion ? QMessageBox::Save : QMessageBox::Ok);
    ok->setText(ToQString(saveQuestion ? "保存" : "确定"));
    if (saveQuestion) box.addButton(QMessageBox::Discard)->setText(ToQString("不保存"));
    if ((style & 0x0F) == 1 || saveQuestion) {
        QPushButton* cancel = box.addButton(QMessageBox::Cancel);
        cancel->setText(ToQString("取消"));
        box.setEscapeButton(cancel);
    }
    box.setDefaultButton(ok);
    return ok;
}

namespace {

int RunBox(DismissibleBox& box, QPushButton* ok) {
    box.exec();
    if (box.dismissed()) return MessageBoxRoutine::kResultCancel;
    if (box.clickedButton() == ok) return MessageBoxRoutine::kResultOk;
    if (QAbstractButton* discard = box.button(QMessageBox::Discard);
        discard != nullptr && box.clickedButton() == discard) {
        return MessageBoxRoutine::kResultDiscard;
    }
    return MessageBoxRoutine::kResultCancel;
}

}  // namespace

int QtMessageBox::ShowBox(const Text& text, int style, const Text& caption) {
    DismissibleBox box;
    box.setWindowModality(Qt::ApplicationModal);
    QPushButton* ok = FillMessageBox(box, text, style, caption);
    return RunBox(box, ok);
}

int QtMessageBox::ShowTickBox(const Text& text, const Text& tick, bool& ticked, int style,
                              const Text& caption) {
    DismissibleBox box;
    box.setWindowModality(Qt::ApplicationModal);
    QPushButton* ok = FillMessageBox(box, text, style, caption);
    auto* tickBox = new QCheckBox(ToQString(tick));
    tickBox->setObjectName(QStringLiteral("MessageTick"));
    box.setCheckBox(tickBox);
    const int result = RunBox(box, ok);
    ticked = tickBox->isChecked();
    return result;
}
