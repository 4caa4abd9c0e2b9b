#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/text.h"

// Seconds since the epoch (UTC).
using HistoryTime = std::int64_t;

// One cell a run filled: the host as the table shows it, the figure's kind word and the
// exact text shown.
struct HistoryCell {
    Text host;
    std::string kind;
    Text value;
    HistoryTime time = 0;
};

// One stored value of a host's figure: held from its first to its last sighting.
struct HistoryEntry {
    std::string kind;
    Text value;
    HistoryTime firstSeen = 0;
    HistoryTime lastSeen = 0;
};

enum class RunOutcome { Unfinished = 0, Completed = 1, Stopped = 2 };

struct RunRecord {
    std::int64_t id = 0;
    HistoryTime started = 0;
    HistoryTime ended = 0;  // 0 while unfinished
    RunOutcome outcome = RunOutcome::Unfinished;
    int hosts = 0;
    std::string figures;  // the ticked kinds, blank-separated, in catalogue order
};

enum class ChangeDirection { Same, Up, Down, Changed };

// A cell whose value differs from the latest one stored before its run began.
struct CellChange {
    Text host;
    std::string kind;
    Text value;
    Text previous;
    HistoryTime previousSeen = 0;  // the last time the previous value was seen
    ChangeDirection direction = ChangeDirection::Changed;
};

// Why the store could not be written; None when all went well.
enum class HistoryFailure { None, DiskFull, ReadOnly, Locked, Backlog, Other };
