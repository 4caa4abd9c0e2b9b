#pragma once

#include "common/message_box.h"

// The message box of the desktop: a QMessageBox with no owner window, modal for the whole
// application. Return presses OK; Esc and the close button count as Cancel. Call it on the
// GUI thread.
class QtMessageBox final : public MessageBoxRoutine {
  protected:
    int ShowBox(const Text& text, int style, const Text& caption) override;
};
