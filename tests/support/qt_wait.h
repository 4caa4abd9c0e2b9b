#pragma once

#include <functional>

class QMessageBox;

// Serves the GUI thread's events until `done` or ten seconds pass, without sleeping between
// rounds, so a run's worker gets its window calls answered at once. False on the time-out.
bool WaitUntil(const std::function<bool()>& done);

// The message box on screen, if any.
QMessageBox* OpenMessage();
