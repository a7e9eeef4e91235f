#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Platform/Store/ModelContext.h"
#include "Platform/Store/ModelSchema.h"
#include "Platform/Store/StoreError.h"

namespace vorela {

class SqliteDatabase;

// The persistent model store: one SQLite database holding a table per record type, with
// foreign keys on and references that cascade as their descriptions say. Opening never
// repairs, replaces or migrates an existing file: a database that is damaged, locked,
// unwritable or of another format fails to open and is left exactly as it was.
// Main thread only.
class ModelStore {
public:
    struct OpenResult {
        std::unique_ptr<ModelStore> store;  // null when opening failed
        std::optional<StoreError> error;
    };

    // `schema` must outlive the store (record types keep static descriptions).
    static OpenResult open(const std::filesystem::path& file,
                           std::vector<const EntityDescription*> schema);
    // A private database in memory, gone with the store; for tests and previews.
    static OpenResult openInMemory(std::vector<const EntityDescription*> schema);

    // $XDG_DATA_HOME/<application identifier>/<fileName>, else under ~/.local/share.
    static std::filesystem::path defaultLocation(const std::string& fileName);

    ~ModelStore();
    ModelStore(const ModelStore&) = delete;
    ModelStore& operator=(const ModelStore&) = delete;
    ModelStore(ModelStore&&) = delete;
    ModelStore& operator=(ModelStore&&) = delete;

    ModelContext& mainContext() { return *context_; }
    // Empty for an in-memory store.
    const std::filesystem::path& location() const { return location_; }

private:
    ModelStore() = default;
    static OpenResult openAt(const std::string& target, std::filesystem::path location,
                             std::vector<const EntityDescription*> schema);
    std::optional<StoreError> prepareSchema();
    std::optional<StoreError> verifyColumns(const EntityDescription& entity);

    std::unique_ptr<SqliteDatabase> db_;
    std::vector<const EntityDescription*> schema_;
    std::filesystem::path location_;
    std::shared_ptr<ModelContext> context_;  // declared last: it goes before the database
};

}  // namespace vorela
