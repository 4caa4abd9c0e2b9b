#pragma once

#include "common/text.h"

// The one routine every message goes through. The implementation lives in platform; tests
// replace it with a scripted fake.
class MessageBoxRoutine {
  public:
    static constexpr int kOk = 0;                    // the OK button alone
    static constexpr int kOkInformation = 64;        // OK with the information icon
    static constexpr int kOkCancelInformation = 65;  // OK and Cancel with the information icon
    // 保存, 不保存 and 取消 with the question icon: the question before unsaved work is dropped.
    static constexpr int kSaveDiscardCancel = 35;

    static constexpr int kResultOk = 0;       // also 保存
    static constexpr int kResultCancel = 1;   // also Esc and the close button
    static constexpr int kResultDiscard = 2;  // 不保存

    virtual ~MessageBoxRoutine() = default;

    static Text DefaultCaption() { return "信息："; }

    // Shows `text` with the window title `caption` and waits; 0 for OK, 1 otherwise.
    int Show(const Text& text, int style = kOk, const Text& caption = DefaultCaption()) {
        return ShowBox(text, style, caption);
    }

    // Like Show, with a tick box captioned `tick` under the text (such as "不再提示"); `ticked`
    // holds its state once the box has closed.
    int ShowWithTick(const Text& text, const Text& tick, bool& ticked, int style = kOk,
                     const Text& caption = DefaultCaption()) {
        ticked = false;
        return ShowTickBox(text, tick, ticked, style, caption);
    }

  protected:
    virtual int ShowBox(const Text& text, int style, const Text& caption) = 0;
    // A routine that cannot show a tick box shows the plain message; the tick stays unticked.
    virtual int ShowTickBox(const Text& text, const Text& /*tick*/, bool& /*ticked*/, int style,
                            const Text& caption) {
        return ShowBox(text, style, caption);
    }
};
