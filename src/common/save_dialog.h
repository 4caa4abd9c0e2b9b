#pragma once

#include <optional>
#include <string>

// The save-file dialog of the export. The implementation lives in platform; tests replace it
// with a scripted fake.
class SaveDialog {
  public:
    virtual ~SaveDialog() = default;

    // Asks where to save and waits: the chosen path, or nullopt when the user cancelled. The
    // path chosen last is offered again the next time.
    virtual std::optional<std::string> AskSavePath() = 0;
};
