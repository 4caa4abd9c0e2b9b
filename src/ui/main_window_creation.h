#pragma once

#include <functional>

class AddressFile;
class MainWindow;

// Steps of the start-up that live elsewhere, run at their place in the creation handler.
struct CreationHooks {
    std::function<void()> applySkin;           // first of all
    std::function<void()> addressFileMissing;  // when url.txt is missing, before the buttons
};

// The main window's creation handler, run before the window is first shown: the address
// count, the url.txt note, and the buttons that wait for a first run disabled.
void RunCreationHandler(MainWindow& window, const AddressFile& addresses,
                        const CreationHooks& hooks = {});
