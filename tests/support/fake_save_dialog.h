#pragma once

#include <deque>
#include <optional>
#include <string>

#include "common/save_dialog.h"

// Answers from a script (cancel when the script is empty) and counts how often it was asked.
class FakeSaveDialog final : public SaveDialog {
  public:
    std::deque<std::optional<std::string>> answers;
    int asked = 0;

    std::optional<std::string> AskSavePath() override {
        ++asked;
        if (answers.empty()) return std::nullopt;
        std::optional<std::string> answer = answers.front();
        answers.pop_front();
        return answer;
    }
};
