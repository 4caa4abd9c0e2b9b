#pragma once

#include <QSettings>

#include "history/history_types.h"

class HistoryStore;

// How many days of history to keep: "history/keep_days" in the settings (XDG config folder
// "zarkel"); absent, 0 or anything but a positive whole number means for ever.
int HistoryKeepDays(const QSettings& settings);

// Drops history not seen within the kept days (on the store's writer thread); nothing when
// history is kept for ever.
void ApplyHistoryRetention(HistoryStore& store, int keepDays, HistoryTime now);
