#include "platform/qt_message_box.h"

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
    // The style number keeps its bits: 64 the information icon, low nibble 1 OK and Cancel.
    box.setIcon((style & MessageBoxRoutine::kOkInformation) != 0 ? QMessageBox::Information
                                                                 : QMessageBox::NoIcon);
    // The button texts of the program's own language, whatever the desktop's locale.
    QPushButton* ok = box.addButton(QMessageBox::Ok);
    ok->setText(ToQString("确定"));
    if ((style & 0x0F) == 1) {
        QPushButton* cancel = box.addButton(QMessageBox::Cancel);
        cancel->setText(ToQString("取消"));
        box.setEscapeButton(cancel);
    }
    box.setDefaultButton(ok);
    return ok;
}

int QtMessageBox::ShowBox(const Text& text, int style, const Text& caption) {
    DismissibleBox box;
    box.setWindowModality(Qt::ApplicationModal);
    QPushButton* ok = FillMessageBox(box, text, style, caption);
    box.exec();
    return box.clickedButton() == ok && !box.dismissed() ? kResultOk : kResultCancel;
}
