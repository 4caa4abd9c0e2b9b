#pragma once

#include <vector>

#include "common/clipboard.h"

// Records every text put on the clipboard.
class FakeClipboard final : public Clipboard {
  public:
    std::vector<Text> texts;

    void SetText(const Text& text) override { texts.push_back(text); }
};
