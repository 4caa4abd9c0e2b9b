#pragma once

#include "history/history_types.h"

class HistoryStore;
class UserSettings;

// How many days of history to keep: "history/keep_days" in the user's settings; absent, 0
// or anything but a positive whole number means for ever.
int HistoryKeepDays(const UserSettings& settings);

// Drops history not seen within the kept days (on the store's writer thread); nothing when
// history is kept for ever.
void ApplyHistoryRetention(HistoryStore& store, int keepDays, HistoryTime now);
