#include "Platform/Store/ModelStore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <set>

#include "Platform/Bundle/Bundle.h"
#include "Platform/Foundation/Format.h"
#include "Platform/Store/SqliteDatabase.h"

namespace vorela {

namespace {

// Marks a database as ours in its header ("VRLA"), so a foreign file is not taken over.
constexpr std::int64_t kApplicationId = 0x56524C41;

std::atomic<std::uint64_t> nextStoreIdentifier{1};

std::string quoted(const std::string& name) { return "\"" + name + "\""; }

// The file must be a regular file of its own: SQLite would wait on a named pipe, and a link
// would let the library live wherever it points. A missing file is created readable by its
// owner only, since it holds the user's scripts; SQLite's journals copy that mode.
std::optional<StoreError> prepareFile(const std::filesystem::path& file, bool& created) {
    struct stat status {};
    if (::lstat(file.c_str(), &status) == 0) {
        if (S_ISREG(status.st_mode)) return std::nullopt;
        return StoreError{StoreError::Kind::notAFile, file.string()};
    }
    if (errno != ENOENT) return StoreError{StoreError::Kind::cannotOpen, file.string()};
    const int descriptor =
        ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (descriptor < 0) {
        if (errno == EEXIST) return prepareFile(file, created);  // made meanwhile: check it
        const auto kind =
            errno == ENOSPC ? StoreError::Kind::diskFull : StoreError::Kind::cannotOpen;
        return StoreError{kind, file.string()};
    }
    ::close(descriptor);
    created = true;
    return std::nullopt;
}

std::string columnType(const AttributeDescription& attribute) {
    switch (attribute.type) {
        case AttributeType::text:
            return "TEXT";
        case AttributeType::real:
        case AttributeType::date:
            return "REAL";
        case AttributeType::integer:
        case AttributeType::reference:
            return "INTEGER";
    }
    return "BLOB";
}

std::string createTableSql(const EntityDescription& entity) {
    std::string sql = "CREATE TABLE IF NOT EXISTS " + quoted(entity.name) +
                      " (id INTEGER PRIMARY KEY AUTOINCREMENT";
    for (const auto& attribute : entity.attributes) {
        sql += ", " + quoted(attribute.name) + " " + columnType(attribute);
        if (!attribute.isOptional) sql += " NOT NULL";
        if (attribute.type == AttributeType::reference) {
            sql += " REFERENCES " + quoted(attribute.destination) + "(id) ON DELETE " +
                   (attribute.cascades ? "CASCADE" : "SET NULL");
        }
    }
    return sql + ")";
}

}  // namespace

std::filesystem::path ModelStore::defaultLocation(const std::string& fileName) {
    std::filesystem::path base;
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && data[0] == '/') {
        base = data;
    } else if (const char* home = std::getenv("HOME"); home && home[0] != '\0') {
        base = std::filesystem::path(home) / ".local" / "share";
    } else {
        base = std::filesystem::temp_directory_path();
    }
    return base / Bundle::identifier() / fileName;
}

ModelStore::~ModelStore() = default;

ModelStore::OpenResult ModelStore::open(const std::filesystem::path& file,
                                        std::vector<const EntityDescription*> schema) {
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    if (error) {
        return {nullptr, StoreError{StoreError::Kind::cannotOpen, file.parent_path().string()}};
    }
    bool created = false;
    if (auto refused = prepareFile(file, created)) return {nullptr, refused};
    auto opened = openAt(file.string(), file, std::move(schema));
    // Only the empty file made just now goes: nothing of the user's is ever removed.
    if (!opened.store && created) std::filesystem::remove(file, error);
    return opened;
}

ModelStore::OpenResult ModelStore::openInMemory(std::vector<const EntityDescription*> schema) {
    return openAt(":memory:", {}, std::move(schema));
}

ModelStore::OpenResult ModelStore::openAt(const std::string& target, std::filesystem::path location,
                                          std::vector<const EntityDescription*> schema) {
    std::unique_ptr<ModelStore> store(new ModelStore());
    store->db_ = std::make_unique<SqliteDatabase>();
    store->schema_ = std::move(schema);
    store->location_ = std::move(location);
    if (auto error = store->db_->open(target)) return {nullptr, error};
    if (auto error = store->prepareSchema()) return {nullptr, error};

    std::vector<std::int64_t> lastRows;
    for (const EntityDescription* entity : store->schema_) {
        // AUTOINCREMENT's counter never goes back, so a deleted row's identity is not reused.
        SqliteDatabase::Statement last(
            *store->db_,
            "SELECT max(coalesce((SELECT seq FROM sqlite_sequence WHERE name = ?), 0), "
            "coalesce((SELECT max(id) FROM " +
                quoted(entity->name) + "), 0))");
        last.bind(1, entity->name);
        if (!last.step()) return {nullptr, last.error().value_or(store->db_->lastError())};
        lastRows.push_back(last.integer(0));
    }
    store->context_ = std::make_shared<ModelContext>(*store->db_, store->schema_,
                                                     nextStoreIdentifier++, std::move(lastRows));
    return {std::move(store), std::nullopt};
}

std::optional<StoreError> ModelStore::prepareSchema() {
    // Outside a transaction, as SQLite requires.
    if (auto error = db_->execute("PRAGMA foreign_keys = ON")) return error;
    if (db_->isReadOnly()) return StoreError{StoreError::Kind::readOnly, location_.string()};
    // Taking the write lock first proves the file writable and ours to change.
    if (auto error = db_->execute("BEGIN IMMEDIATE")) return error;
    const auto fail = [this](StoreError error) -> std::optional<StoreError> {
        db_->execute("ROLLBACK");
        return error;
    };
    SqliteDatabase::Statement check(*db_, "PRAGMA quick_check(1)");
    if (!check.step()) return fail(check.error().value_or(db_->lastError()));
    if (const auto verdict = check.column(0, AttributeType::text);
        verdict != ModelValue(std::string("ok"))) {
        const auto* text = std::get_if<std::string>(&verdict);
        return fail(StoreError{StoreError::Kind::corrupt, text ? *text : std::string()});
    }

    SqliteDatabase::Statement identity(*db_, "PRAGMA application_id");
    if (!identity.step()) return fail(identity.error().value_or(db_->lastError()));
    const std::int64_t applicationId = identity.integer(0);
    SqliteDatabase::Statement tables(*db_, "SELECT count(*) FROM sqlite_master");
    if (!tables.step()) return fail(tables.error().value_or(db_->lastError()));
    const bool isEmpty = tables.integer(0) == 0;
    if (applicationId != kApplicationId && !(applicationId == 0 && isEmpty)) {
        return fail(StoreError{StoreError::Kind::incompatible, location_.string()});
    }
    if (applicationId == 0) {
        if (auto error = db_->execute(
                format("PRAGMA application_id = %lld", static_cast<long long>(kApplicationId)))) {
            return fail(*error);
        }
    }
    for (const EntityDescription* entity : schema_) {
        if (auto error = db_->execute(createTableSql(*entity))) return fail(*error);
        // The ids alone, apart from the records' pages: a fetch lists the ids first and reads
        // whole only the records not already in memory, and walking the table for its ids
        // would read every body from the file.
        const std::string ids = quoted(entity->name + "_ids");
        if (auto error = db_->execute("CREATE INDEX IF NOT EXISTS " + ids + " ON " +
                                      quoted(entity->name) + "(id)")) {
            return fail(*error);
        }
        for (const auto& attribute : entity->attributes) {
            if (attribute.type != AttributeType::reference) continue;
            const std::string index = quoted(entity->name + "_" + attribute.name);
            if (auto error =
                    db_->execute("CREATE INDEX IF NOT EXISTS " + index + " ON " +
                                 quoted(entity->name) + "(" + quoted(attribute.name) + ")")) {
                return fail(*error);
            }
        }
        if (auto error = verifyColumns(*entity)) return fail(*error);
    }
    if (auto error = db_->execute("COMMIT")) return fail(*error);
    return std::nullopt;
}

std::optional<StoreError> ModelStore::verifyColumns(const EntityDescription& entity) {
    SqliteDatabase::Statement info(*db_, "PRAGMA table_info(" + quoted(entity.name) + ")");
    std::set<std::string> columns;
    while (info.step()) {
        const ModelValue name = info.column(1, AttributeType::text);
        if (const auto* text = std::get_if<std::string>(&name)) columns.insert(*text);
    }
    if (auto error = info.error()) return error;
    for (const auto& attribute : entity.attributes) {
        if (!columns.contains(attribute.name)) {
            return StoreError{StoreError::Kind::incompatible, entity.name + "." + attribute.name};
        }
    }
    return std::nullopt;
}

}  // namespace vorela
