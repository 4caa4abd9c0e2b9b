#include "history/history_database.h"

#include <algorithm>
#include <string>

#include "history/value_change.h"
#include "query/metric_catalogue.h"

namespace {

constexpr const char* kSchema = R"(
CREATE TABLE IF NOT EXISTS hosts(id INTEGER PRIMARY KEY, name BLOB NOT NULL UNIQUE);
CREATE TABLE IF NOT EXISTS figure_values(
  host INTEGER NOT NULL, figure TEXT NOT NULL, first_seen INTEGER NOT NULL,
  last_seen INTEGER NOT NULL, value BLOB NOT NULL,
  PRIMARY KEY(host, figure, first_seen)) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS runs(
  id INTEGER PRIMARY KEY, started INTEGER NOT NULL, ended INTEGER NOT NULL DEFAULT 0,
  outcome INTEGER NOT NULL DEFAULT 0, hosts INTEGER NOT NULL DEFAULT 0, figures TEXT NOT NULL);
)";

bool Failed(int code) {
    return code != SQLITE_OK && code != SQLITE_DONE && code != SQLITE_ROW;
}

}  // namespace

struct HistoryDatabase::Statements {
    explicit Statements(const SqliteDb& db)
        : findHost(db, "SELECT id FROM hosts WHERE name = ?1"),
          addHost(db, "INSERT OR IGNORE INTO hosts(name) VALUES(?1)"),
          latest(db,
                 "SELECT first_seen, last_seen, value FROM figure_values WHERE host = ?1 AND "
                 "figure = ?2 ORDER BY first_seen DESC LIMIT 1"),
          earlier(db,
                  "SELECT last_seen, value FROM figure_values WHERE host = ?1 AND figure = ?2 "
                  "AND first_seen < ?3 AND value <> ?4 ORDER BY first_seen DESC LIMIT 1"),
          seen(db,
               "UPDATE figure_values SET last_seen = ?4 WHERE host = ?1 AND figure = ?2 AND "
               "first_seen = ?3"),
          insert(db,
                 "INSERT INTO figure_values(host, figure, first_seen, last_seen, value) "
                 "VALUES(?1, ?2, ?3, ?3, ?4) ON CONFLICT(host, figure, first_seen) DO UPDATE "
                 "SET value = excluded.value, last_seen = excluded.last_seen") {}

    bool Valid() const {
        return findHost.IsValid() && addHost.IsValid() && latest.IsValid() && earlier.IsValid() &&
               seen.IsValid() && insert.IsValid();
    }

    SqliteStatement findHost;
    SqliteStatement addHost;
    SqliteStatement latest;
    SqliteStatement earlier;
    SqliteStatement seen;
    SqliteStatement insert;
};

HistoryDatabase::HistoryDatabase() = default;

HistoryDatabase::~HistoryDatabase() {
    m_statements.reset();
}

int HistoryDatabase::Open(const std::string& path, const HistoryOptions& options) {
    if (const int code = m_db.Open(path); code != SQLITE_OK) return code;
    sqlite3_busy_timeout(m_db.Handle(), options.busyTimeoutMs);
    int code = m_db.Exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;");
    if (code == SQLITE_OK && options.maxPages > 0) {
        code = m_db.Exec(("PRAGMA max_page_count=" + std::to_string(options.maxPages)).c_str());
    }
    if (code == SQLITE_OK && options.cacheKiB > 0) {
        code = m_db.Exec(("PRAGMA cache_size=-" + std::to_string(options.cacheKiB)).c_str());
    }
    if (code == SQLITE_OK) code = m_db.Exec(kSchema);
    if (code == SQLITE_OK) {
        m_statements = std::make_unique<Statements>(m_db);
        if (!m_statements->Valid()) code = m_statements->insert.PrepareResult();
        if (code == SQLITE_OK && !m_statements->Valid()) code = SQLITE_ERROR;
    }
    if (code != SQLITE_OK) {
        code = sqlite3_extended_errcode(m_db.Handle());
        m_statements.reset();
        m_db.Close();
        return code == SQLITE_OK ? SQLITE_ERROR : code;
    }
    return SQLITE_OK;
}

int HistoryDatabase::BeginRun(HistoryTime started, const std::string& figures, std::int64_t* id) {
    SqliteStatement insert(m_db, "INSERT INTO runs(started, figures) VALUES(?1, ?2)");
    insert.Bind(1, started);
    insert.Bind(2, figures);
    const int code = insert.Step();
    if (code != SQLITE_DONE) return code;
    *id = sqlite3_last_insert_rowid(m_db.Handle());
    return SQLITE_OK;
}

int HistoryDatabase::EndRun(std::int64_t id, HistoryTime ended, RunOutcome outcome, int hosts) {
    SqliteStatement update(m_db,
                           "UPDATE runs SET ended = ?2, outcome = ?3, hosts = ?4 WHERE id = ?1");
    update.Bind(1, id);
    update.Bind(2, ended);
    update.Bind(3, static_cast<std::int64_t>(outcome));
    update.Bind(4, static_cast<std::int64_t>(hosts));
    const int code = update.Step();
    return code == SQLITE_DONE ? SQLITE_OK : code;
}

int HistoryDatabase::HostId(const Text& host, std::int64_t* id) {
    if (const auto known = m_hostIds.find(host); known != m_hostIds.end()) {
        *id = known->second;
        return SQLITE_OK;
    }
    Statements& s = *m_statements;
    s.addHost.Reset();
    s.addHost.Bind(1, host);
    if (const int code = s.addHost.Step(); code != SQLITE_DONE) return code;
    s.findHost.Reset();
    s.findHost.Bind(1, host);
    const int code = s.findHost.Step();
    if (code != SQLITE_ROW) return code == SQLITE_DONE ? SQLITE_ERROR : code;
    *id = s.findHost.Int(0);
    // A statement left on a row holds a read snapshot, which keeps checkpoints from
    // shrinking the log: every statement is reset once read.
    s.findHost.Reset();
    m_hostIds.emplace(host, *id);
    return SQLITE_OK;
}

int HistoryDatabase::RecordOne(const HistoryCell& cell, HistoryTime runStart,
                               std::vector<CellChange>* changes) {
    Statements& s = *m_statements;
    std::int64_t host = 0;
    if (const int code = HostId(cell.host, &host); code != SQLITE_OK) return code;

    s.latest.Reset();
    s.latest.Bind(1, host);
    s.latest.Bind(2, cell.kind);
    int code = s.latest.Step();
    if (Failed(code)) {
        s.latest.Reset();
        return code;
    }
    const bool hasLatest = code == SQLITE_ROW;
    const HistoryTime latestFirst = hasLatest ? s.latest.Int(0) : 0;
    const HistoryTime latestLast = hasLatest ? s.latest.Int(1) : 0;
    const Text latestValue = hasLatest ? s.latest.Bytes(2) : Text();
    s.latest.Reset();

    // A clock set back must not put a value before the one it follows.
    const HistoryTime time = std::max(cell.time, latestLast);
    if (hasLatest && latestValue == cell.value) {
        if (time > latestLast) {
            s.seen.Reset();
            s.seen.Bind(1, host);
            s.seen.Bind(2, cell.kind);
            s.seen.Bind(3, latestFirst);
            s.seen.Bind(4, time);
            code = s.seen.Step();
            if (code != SQLITE_DONE) return code;
        }
    } else {
        s.insert.Reset();
        s.insert.Bind(1, host);
        s.insert.Bind(2, cell.kind);
        s.insert.Bind(3, time);
        s.insert.Bind(4, cell.value);
        code = s.insert.Step();
        if (code != SQLITE_DONE) return code;
    }

    if (changes == nullptr || cell.value == kFailMark) return SQLITE_OK;
    // What the table showed for this cell before the run; a fail mark says nothing.
    Text previous;
    HistoryTime previousSeen = 0;
    if (hasLatest && latestFirst < runStart && latestValue != kFailMark) {
        previous = latestValue;
        previousSeen = latestLast;
    } else if (hasLatest) {
        s.earlier.Reset();
        s.earlier.Bind(1, host);
        s.earlier.Bind(2, cell.kind);
        s.earlier.Bind(3, runStart);
        s.earlier.Bind(4, kFailMark);
        code = s.earlier.Step();
        if (code != SQLITE_ROW) {
            s.earlier.Reset();
            return Failed(code) ? code : SQLITE_OK;
        }
        previousSeen = s.earlier.Int(0);
        previous = s.earlier.Bytes(1);
        s.earlier.Reset();
    } else {
        return SQLITE_OK;
    }
    const ChangeDirection direction = CompareFigures(previous, cell.value);
    if (direction == ChangeDirection::Same) return SQLITE_OK;
    changes->push_back({cell.host, cell.kind, cell.value, previous, previousSeen, direction});
    return SQLITE_OK;
}

int HistoryDatabase::Record(const std::vector<HistoryCell>& cells, HistoryTime runStart,
                            std::vector<CellChange>* changes) {
    if (!IsOpen()) return SQLITE_CANTOPEN;
    if (const int code = m_db.Exec("BEGIN IMMEDIATE"); code != SQLITE_OK) return code;
    const std::size_t changesBefore = changes != nullptr ? changes->size() : 0;
    int code = SQLITE_OK;
    for (const HistoryCell& cell : cells) {
        code = RecordOne(cell, runStart, changes);
        if (code != SQLITE_OK) break;
    }
    if (code == SQLITE_OK) code = m_db.Exec("COMMIT");
    if (code != SQLITE_OK) {
        m_db.Exec("ROLLBACK");
        // Ids handed out in the rolled-back transaction are gone again.
        m_hostIds.clear();
        if (changes != nullptr) changes->resize(changesBefore);
    }
    return code;
}

std::vector<HistoryEntry> HistoryDatabase::HostHistory(const Text& host) {
    std::vector<HistoryEntry> entries;
    SqliteStatement select(m_db,
                           "SELECT figure, first_seen, last_seen, value FROM figure_values WHERE "
                           "host = (SELECT id FROM hosts WHERE name = ?1) ORDER BY figure, "
                           "first_seen");
    select.Bind(1, host);
    while (select.Step() == SQLITE_ROW) {
        entries.push_back({select.Bytes(0), select.Bytes(3), select.Int(1), select.Int(2)});
    }
    return entries;
}

std::vector<RunRecord> HistoryDatabase::Runs() {
    std::vector<RunRecord> runs;
    SqliteStatement select(
        m_db, "SELECT id, started, ended, outcome, hosts, figures FROM runs ORDER BY id");
    while (select.Step() == SQLITE_ROW) {
        RunRecord run;
        run.id = select.Int(0);
        run.started = select.Int(1);
        run.ended = select.Int(2);
        const std::int64_t outcome = select.Int(3);
        run.outcome = outcome == 1   ? RunOutcome::Completed
                      : outcome == 2 ? RunOutcome::Stopped
                                     : RunOutcome::Unfinished;
        run.hosts = static_cast<int>(select.Int(4));
        run.figures = select.Bytes(5);
        runs.push_back(std::move(run));
    }
    return runs;
}

int HistoryDatabase::DeleteHost(const Text& host) {
    if (!IsOpen()) return SQLITE_CANTOPEN;
    if (const int code = m_db.Exec("BEGIN IMMEDIATE"); code != SQLITE_OK) return code;
    SqliteStatement values(m_db,
                           "DELETE FROM figure_values WHERE host = (SELECT id FROM hosts WHERE "
                           "name = ?1)");
    values.Bind(1, host);
    int code = values.Step();
    if (code == SQLITE_DONE) {
        SqliteStatement row(m_db, "DELETE FROM hosts WHERE name = ?1");
        row.Bind(1, host);
        code = row.Step();
    }
    code = code == SQLITE_DONE ? m_db.Exec("COMMIT") : code;
    if (code != SQLITE_OK) m_db.Exec("ROLLBACK");
    m_hostIds.clear();
    return code;
}

int HistoryDatabase::Purge(HistoryTime cutoff) {
    if (!IsOpen()) return SQLITE_CANTOPEN;
    if (const int code = m_db.Exec("BEGIN IMMEDIATE"); code != SQLITE_OK) return code;
    SqliteStatement values(m_db, "DELETE FROM figure_values WHERE last_seen < ?1");
    values.Bind(1, cutoff);
    int code = values.Step();
    if (code == SQLITE_DONE) {
        SqliteStatement runs(m_db, "DELETE FROM runs WHERE started < ?1");
        runs.Bind(1, cutoff);
        code = runs.Step();
    }
    if (code == SQLITE_DONE) {
        code = m_db.Exec(
            "DELETE FROM hosts WHERE NOT EXISTS (SELECT 1 FROM figure_values WHERE host = "
            "hosts.id)");
        code = code == SQLITE_OK ? SQLITE_DONE : code;
    }
    code = code == SQLITE_DONE ? m_db.Exec("COMMIT") : code;
    if (code != SQLITE_OK) m_db.Exec("ROLLBACK");
    m_hostIds.clear();
    return code;
}

HistoryFailure FailureOf(int sqliteCode) {
    switch (sqliteCode & 0xff) {
        case SQLITE_OK:
        case SQLITE_DONE:
        case SQLITE_ROW:
            return HistoryFailure::None;
        case SQLITE_FULL:
            return HistoryFailure::DiskFull;
        case SQLITE_READONLY:
        case SQLITE_CANTOPEN:
        case SQLITE_PERM:
        case SQLITE_AUTH:
            return HistoryFailure::ReadOnly;
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return HistoryFailure::Locked;
        default:
            return HistoryFailure::Other;
    }
}

Text FailureReason(HistoryFailure failure) {
    switch (failure) {
        case HistoryFailure::None:
            return {};
        case HistoryFailure::DiskFull:
            return "磁盘已满";
        case HistoryFailure::ReadOnly:
            return "文件夹不可写";
        case HistoryFailure::Locked:
            return "文件被占用";
        case HistoryFailure::Backlog:
            return "写入太慢";
        case HistoryFailure::Other:
            break;
    }
    return "写入失败";
}
