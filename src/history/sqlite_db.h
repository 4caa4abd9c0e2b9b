#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <string_view>

// One SQLite connection, closed with the object. Not shared between threads.
class SqliteDb final {
  public:
    SqliteDb() = default;
    ~SqliteDb();
    SqliteDb(const SqliteDb&) = delete;
    SqliteDb& operator=(const SqliteDb&) = delete;

    // SQLITE_OK or the (extended) error code; a failed open leaves the object closed.
    int Open(const std::string& path);
    void Close();
    bool IsOpen() const { return m_db != nullptr; }
    sqlite3* Handle() const { return m_db; }

    // Runs statements without results; the result code of the first that fails.
    int Exec(const char* sql);

  private:
    sqlite3* m_db = nullptr;
};

// A prepared statement, reset for reuse by Reset(); bound texts are copied.
class SqliteStatement final {
  public:
    SqliteStatement(const SqliteDb& db, const char* sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    bool IsValid() const { return m_statement != nullptr; }
    int PrepareResult() const { return m_prepareResult; }

    void Bind(int index, std::int64_t value);
    void Bind(int index, std::string_view bytes);  // as a blob: bytes as they are
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int Step();
    void Reset();

    std::int64_t Int(int column) const;
    std::string Bytes(int column) const;

  private:
    sqlite3_stmt* m_statement = nullptr;
    int m_prepareResult = SQLITE_OK;
};
