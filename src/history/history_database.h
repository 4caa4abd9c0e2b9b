#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "history/history_types.h"
#include "history/sqlite_db.h"

struct HistoryOptions {
    // How long a write waits for another program's lock before the batch counts as failed.
    int busyTimeoutMs = 2000;
    // Caps the file's pages when positive: a full disk, for tests.
    std::int64_t maxPages = 0;
    // The page cache, when positive (bulk writers); SQLite's default otherwise.
    int cacheKiB = 0;
};

// One connection to the history file and every query on it. Used by one thread at a time.
// Values are stored as changes: a value equal to the latest of its host and figure only
// moves that entry's last sighting. Every write is one transaction: it is stored whole or
// not at all.
class HistoryDatabase final {
  public:
    HistoryDatabase();
    ~HistoryDatabase();
    HistoryDatabase(const HistoryDatabase&) = delete;
    HistoryDatabase& operator=(const HistoryDatabase&) = delete;

    // Opens (and creates) the file in WAL mode. SQLITE_OK or the error code.
    int Open(const std::string& path, const HistoryOptions& options = {});
    bool IsOpen() const { return m_db.IsOpen(); }
    int Exec(const char* sql) { return m_db.Exec(sql); }
    void SetBusyTimeout(int ms) {
        if (m_db.IsOpen()) sqlite3_busy_timeout(m_db.Handle(), ms);
    }

    int BeginRun(HistoryTime started, const std::string& figures, std::int64_t* id);
    int EndRun(std::int64_t id, HistoryTime ended, RunOutcome outcome, int hosts);

    // Stores the cells in order. `changes`, when given, receives the cells whose value
    // differs from the latest value other than the fail mark stored before `runStart`.
    int Record(const std::vector<HistoryCell>& cells, HistoryTime runStart,
               std::vector<CellChange>* changes = nullptr);

    // Oldest first, by figure kind then time.
    std::vector<HistoryEntry> HostHistory(const Text& host);
    std::vector<RunRecord> Runs();

    int DeleteHost(const Text& host);
    // Drops the values not seen since `cutoff`, the runs begun before it and hosts left bare.
    int Purge(HistoryTime cutoff);

  private:
    struct Statements;

    int RecordOne(const HistoryCell& cell, HistoryTime runStart, std::vector<CellChange>* changes);
    int HostId(const Text& host, std::int64_t* id);

    SqliteDb m_db;
    std::unique_ptr<Statements> m_statements;
    std::unordered_map<Text, std::int64_t> m_hostIds;
};

// The kind of failure a SQLite error code stands for.
HistoryFailure FailureOf(int sqliteCode);

// What the user is told of a failure: "磁盘已满", "文件被占用" ...; empty for None.
Text FailureReason(HistoryFailure failure);
