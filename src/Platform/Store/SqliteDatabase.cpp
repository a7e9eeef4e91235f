#include "Platform/Store/SqliteDatabase.h"

#include <sqlite3.h>

namespace vorela {

namespace {

StoreError::Kind kindFor(int code) {
    switch (code & 0xFF) {
        case SQLITE_NOTADB:
        case SQLITE_CORRUPT:
            return StoreError::Kind::corrupt;
        case SQLITE_READONLY:
        case SQLITE_PERM:
            return StoreError::Kind::readOnly;
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return StoreError::Kind::busy;
        case SQLITE_FULL:
            return StoreError::Kind::diskFull;
        case SQLITE_CANTOPEN:
            return StoreError::Kind::cannotOpen;
        default:
            return StoreError::Kind::failed;
    }
}

}  // namespace

SqliteDatabase::~SqliteDatabase() {
    if (db_) sqlite3_close_v2(db_);
}

std::optional<StoreError> SqliteDatabase::open(const std::string& path) {
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOFOLLOW;
    const int code = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
    if (code != SQLITE_OK) {
        StoreError error{kindFor(code), db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(code)};
        if (error.kind == StoreError::Kind::failed) error.kind = StoreError::Kind::cannotOpen;
        sqlite3_close_v2(db_);
        db_ = nullptr;
        return error;
    }
    sqlite3_extended_result_codes(db_, 1);
    return std::nullopt;
}

std::optional<StoreError> SqliteDatabase::execute(std::string_view sql) {
    if (!db_) return StoreError{StoreError::Kind::failed, "sin conexión"};
    const std::string text(sql);
    if (sqlite3_exec(db_, text.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) return lastError();
    return std::nullopt;
}

bool SqliteDatabase::isReadOnly() const { return db_ && sqlite3_db_readonly(db_, "main") == 1; }

bool SqliteDatabase::isInTransaction() const { return db_ && sqlite3_get_autocommit(db_) == 0; }

StoreError SqliteDatabase::lastError() const {
    if (!db_) return StoreError{StoreError::Kind::failed, "sin conexión"};
    return StoreError{kindFor(sqlite3_extended_errcode(db_)), sqlite3_errmsg(db_)};
}

SqliteDatabase::Statement::Statement(SqliteDatabase& db, std::string_view sql) : db_(db) {
    if (!db.db_) {
        error_ = db.lastError();
        return;
    }
    if (sqlite3_prepare_v2(db.db_, sql.data(), static_cast<int>(sql.size()), &statement_,
                           nullptr) != SQLITE_OK) {
        error_ = db.lastError();
        statement_ = nullptr;
    }
}

SqliteDatabase::Statement::~Statement() { sqlite3_finalize(statement_); }

void SqliteDatabase::Statement::bind(int index, const ModelValue& value) {
    if (!statement_) return;
    if (const auto* i = std::get_if<std::int64_t>(&value)) {
        sqlite3_bind_int64(statement_, index, *i);
    } else if (const auto* d = std::get_if<double>(&value)) {
        sqlite3_bind_double(statement_, index, *d);
    } else if (const auto* s = std::get_if<std::string>(&value)) {
        sqlite3_bind_text(statement_, index, s->data(), static_cast<int>(s->size()),
                          SQLITE_TRANSIENT);
    } else {
        sqlite3_bind_null(statement_, index);
    }
}

bool SqliteDatabase::Statement::step() {
    if (!statement_ || error_) return false;
    const int code = sqlite3_step(statement_);
    if (code == SQLITE_ROW) return true;
    if (code != SQLITE_DONE) error_ = db_.lastError();
    return false;
}

ModelValue SqliteDatabase::Statement::column(int index, AttributeType type) const {
    if (sqlite3_column_type(statement_, index) == SQLITE_NULL) return std::monostate{};
    switch (type) {
        case AttributeType::text: {
            const auto* text =
                reinterpret_cast<const char*>(sqlite3_column_text(statement_, index));
            return std::string(text ? text : "",
                               static_cast<std::size_t>(sqlite3_column_bytes(statement_, index)));
        }
        case AttributeType::real:
        case AttributeType::date:
            return sqlite3_column_double(statement_, index);
        case AttributeType::integer:
        case AttributeType::reference:
            return static_cast<std::int64_t>(sqlite3_column_int64(statement_, index));
    }
    return std::monostate{};
}

std::int64_t SqliteDatabase::Statement::integer(int index) const {
    return sqlite3_column_int64(statement_, index);
}

}  // namespace vorela
