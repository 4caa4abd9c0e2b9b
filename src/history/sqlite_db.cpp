#include "history/sqlite_db.h"

SqliteDb::~SqliteDb() {
    Close();
}

void SqliteDb::Close() {
    if (m_db != nullptr) sqlite3_close_v2(m_db);
    m_db = nullptr;
}

int SqliteDb::Open(const std::string& path) {
    sqlite3* db = nullptr;
    const int result =
        sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (result != SQLITE_OK) {
        const int code = db != nullptr ? sqlite3_extended_errcode(db) : result;
        sqlite3_close_v2(db);
        return code;
    }
    sqlite3_extended_result_codes(db, 1);
    m_db = db;
    return SQLITE_OK;
}

int SqliteDb::Exec(const char* sql) {
    if (m_db == nullptr) return SQLITE_MISUSE;
    return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
}

SqliteStatement::SqliteStatement(const SqliteDb& db, const char* sql) {
    if (!db.IsOpen()) {
        m_prepareResult = SQLITE_MISUSE;
        return;
    }
    m_prepareResult = sqlite3_prepare_v2(db.Handle(), sql, -1, &m_statement, nullptr);
    if (m_prepareResult != SQLITE_OK) {
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
    }
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(m_statement);
}

void SqliteStatement::Bind(int index, std::int64_t value) {
    sqlite3_bind_int64(m_statement, index, value);
}

void SqliteStatement::Bind(int index, std::string_view bytes) {
    // A zero-length blob must not be bound as NULL: bind an empty, non-null pointer.
    sqlite3_bind_blob64(m_statement, index, bytes.empty() ? "" : bytes.data(), bytes.size(),
                        SQLITE_TRANSIENT);
}

int SqliteStatement::Step() {
    if (m_statement == nullptr)
        return m_prepareResult == SQLITE_OK ? SQLITE_MISUSE : m_prepareResult;
    return sqlite3_step(m_statement);
}

void SqliteStatement::Reset() {
    if (m_statement == nullptr) return;
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
}

std::int64_t SqliteStatement::Int(int column) const {
    return sqlite3_column_int64(m_statement, column);
}

std::string SqliteStatement::Bytes(int column) const {
    const void* data = sqlite3_column_blob(m_statement, column);
    const int size = sqlite3_column_bytes(m_statement, column);
    if (data == nullptr || size <= 0) return {};
    return std::string(static_cast<const char*>(data), static_cast<std::size_t>(size));
}
