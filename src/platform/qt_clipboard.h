#pragma once

#include "common/clipboard.h"

// The system clipboard through Qt (the CLIPBOARD selection under X11). Needs a
// QGuiApplication.
class QtClipboard final : public Clipboard {
  public:
    void SetText(const Text& text) override;
};
