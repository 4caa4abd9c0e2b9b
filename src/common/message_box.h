#pragma once

#include "common/text.h"

// The one routine every message goes through. The implementation lives in platform; tests
// replace it with a scripted fake.
class MessageBoxRoutine {
  public:
    static constexpr int kOk = 0;                    // the OK button alone
    static constexpr int kOkInformation = 64;        // OK with the information icon
    static constexpr int kOkCancelInformation = 65;  // OK and Cancel with the information icon

    static constexpr int kResultOk = 0;
    static constexpr int kResultCancel = 1;  // also Esc and the close button

    virtual ~MessageBoxRoutine() = default;

    static Text DefaultCaption() { return "信息："; }

    // Shows `text` with the window title `caption` and waits; 0 for OK, 1 otherwise.
    int Show(const Text& text, int style = kOk, const Text& caption = DefaultCaption()) {
        return ShowBox(text, style, caption);
    }

  protected:
    virtual int ShowBox(const Text& text, int style, const Text& caption) = 0;
};
