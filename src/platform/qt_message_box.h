#pragma once

#include "common/message_box.h"

class QMessageBox;
class QPushButton;

// The message box of the desktop: a QMessageBox with no owner window, modal for the whole
// application. Return presses OK; Esc and the close button count as Cancel. Call it on the
// GUI thread.
class QtMessageBox final : public MessageBoxRoutine {
  protected:
    int ShowBox(const Text& text, int style, const Text& caption) override;
    int ShowTickBox(const Text& text, const Text& tick, bool& ticked, int style,
                    const Text& caption) override;
};

// Makes `box` a message of the program: `caption` as its title, `text` as plain text, the
// icon and buttons of `style` (a MessageBoxRoutine style) in the program's own language, OK
// the default. Modality and showing are the caller's. Returns the OK button.
QPushButton* FillMessageBox(QMessageBox& box, const Text& text, int style, const Text& caption);
