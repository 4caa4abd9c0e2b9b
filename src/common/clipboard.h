#pragma once

#include "common/text.h"

// The system clipboard, plain text. A clipboard that cannot be written is skipped silently.
class Clipboard {
  public:
    virtual ~Clipboard() = default;

    // Replaces the clipboard's content with `text`.
    virtual void SetText(const Text& text) = 0;
};
