#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "Platform/Store/ModelSchema.h"
#include "Platform/Store/StoreError.h"

struct sqlite3;
struct sqlite3_stmt;

namespace vorela {

// A thin owner of one SQLite connection for the model store. Errors come back as
// StoreError values; nothing throws. One thread at a time.
class SqliteDatabase {
public:
    class Statement {
    public:
        Statement(SqliteDatabase& db, std::string_view sql);
        ~Statement();
        Statement(const Statement&) = delete;
        Statement& operator=(const Statement&) = delete;
        Statement(Statement&&) = delete;
        Statement& operator=(Statement&&) = delete;

        bool isValid() const { return statement_ != nullptr; }
        void bind(int index, const ModelValue& value);  // 1-based
        // True while a row is ready; false at the end or on an error (see error()).
        bool step();
        ModelValue column(int index, AttributeType type) const;  // 0-based
        std::int64_t integer(int index) const;
        std::optional<StoreError> error() const { return error_; }

    private:
        SqliteDatabase& db_;
        sqlite3_stmt* statement_ = nullptr;
        std::optional<StoreError> error_;
    };

    SqliteDatabase() = default;
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;
    SqliteDatabase(SqliteDatabase&&) = delete;
    SqliteDatabase& operator=(SqliteDatabase&&) = delete;

    // ":memory:" opens a private in-memory database. Never creates parent folders.
    std::optional<StoreError> open(const std::string& path);
    std::optional<StoreError> execute(std::string_view sql);
    bool isReadOnly() const;
    // False outside a transaction, also after an error made SQLite roll one back.
    bool isInTransaction() const;

    // The error of the last failed call, classified.
    StoreError lastError() const;

private:
    sqlite3* db_ = nullptr;
};

}  // namespace vorela
