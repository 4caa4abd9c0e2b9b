#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "common/message_box.h"
#include "common/shell_opener.h"

// Records every message and answers from a script (OK when the script is empty); a message with
// a tick box gets its tick from `ticks` (unticked when empty). `onShow` runs while the "box" is
// open, for tests that act during a message.
class FakeMessageBox final : public MessageBoxRoutine {
  public:
    struct Shown {
        Text text;
        int style;
        Text caption;
        Text tick = {};  // the tick box's caption; empty without one
    };

    std::vector<Shown> shown;
    std::deque<int> answers;
    std::deque<bool> ticks;
    std::function<void(const Shown&)> onShow;

  protected:
    int ShowTickBox(const Text& text, const Text& tick, bool& ticked, int style,
                    const Text& caption) override {
        const int answer = ShowBox(text, style, caption);
        shown.back().tick = tick;
        if (!ticks.empty()) {
            ticked = ticks.front();
            ticks.pop_front();
        }
        return answer;
    }
    int ShowBox(const Text& text, int style, const Text& caption) override {
        shown.push_back({text, style, caption});
        if (onShow) onShow(shown.back());
        if (answers.empty()) return kResultOk;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

// Records what would have been opened.
class FakeShellOpener final : public ShellOpener {
  public:
    std::vector<Text> pages;
    std::vector<std::string> files;

    void OpenInExplorer(const Text& address) override { pages.push_back(address); }
    void OpenFile(const std::string& path) override { files.push_back(path); }
};
