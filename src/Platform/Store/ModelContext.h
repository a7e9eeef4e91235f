#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "Platform/Store/ModelObject.h"
#include "Platform/Store/ModelSchema.h"
#include "Platform/Store/SqliteDatabase.h"
#include "Platform/Store/StoreError.h"

namespace vorela {

// The store's main context: the live records and their unsaved changes. Inserts,
// changes and deletions wait here until save() writes them in one transaction. A change
// the file refuses (a constraint of the table) stays pending on its own while the others
// are written; a save that fails as a whole (a lock, a full disk) rolls back and keeps
// every change for the next save. Fetches see pending changes (inserted records appear,
// deleted ones do not). Main thread only.
class ModelContext : public std::enable_shared_from_this<ModelContext> {
public:
    struct FetchResult {
        std::vector<std::shared_ptr<ModelObject>> objects;
        std::optional<StoreError> error;
    };

    ModelContext(SqliteDatabase& db, const std::vector<const EntityDescription*>& schema,
                 std::uint64_t storeIdentifier, std::vector<std::int64_t> lastRows);
    ModelContext(const ModelContext&) = delete;
    ModelContext& operator=(const ModelContext&) = delete;
    ModelContext(ModelContext&&) = delete;
    ModelContext& operator=(ModelContext&&) = delete;
    ~ModelContext();

    // Gives the record its persistent identity in this store; inserting twice is a no-op.
    void insert(const std::shared_ptr<ModelObject>& object);
    // Deletes the record and, through cascading references, the records that depend on it.
    void deleteObject(const std::shared_ptr<ModelObject>& object);
    bool hasChanges() const;
    // The records of the entity inserted or changed and not yet written, in row order.
    std::vector<std::shared_ptr<ModelObject>> unsavedObjects(const EntityDescription& entity) const;
    // Writes the pending changes in one transaction; nothing when every one was written,
    // else the first error.
    std::optional<StoreError> save();

    // Every record of the entity, in row order.
    FetchResult fetchAll(const EntityDescription& entity);
    // The records of `entity` whose reference `attribute` points at `target`, in row order.
    FetchResult fetchReferencing(const EntityDescription& entity, std::size_t attribute,
                                 const ModelObject& target);
    // The live record of a row, loading it when needed; null when it does not exist.
    std::shared_ptr<ModelObject> object(const EntityDescription& entity, std::int64_t row);

    void objectDidChange(ModelObject& object);  // called by ModelObject::setValue

private:
    using Key = std::pair<std::size_t, std::int64_t>;  // entity index, row

    std::size_t entityIndex(const EntityDescription& entity) const;
    Key keyOf(const ModelObject& object) const;
    std::shared_ptr<ModelObject> materialize(std::size_t entity, std::int64_t row,
                                             std::vector<ModelValue> values);
    FetchResult fetch(std::size_t entity,
                      std::optional<std::pair<std::size_t, std::int64_t>> filter);
    // Reads one row whole and makes it live; null when it is not stored.
    std::shared_ptr<ModelObject> load(std::size_t entity, std::int64_t row);
    // Up to this many records without a live object are read one query each, beyond it in
    // one pass over the table.
    static constexpr std::size_t kRowsLoadedOneByOne = 32;
    void deleteRecursively(const std::shared_ptr<ModelObject>& object);
    // The changes the file refused, and why the first one was.
    struct Refusals {
        std::set<Key> keys;
        std::optional<StoreError> first;
    };
    // An error that ended the transaction; a refused change is only noted.
    std::optional<StoreError> writeChanges(Refusals& refused);
    std::optional<StoreError> writeChange(SqliteDatabase::Statement& statement, const Key& key,
                                          Refusals& refused);

    SqliteDatabase& db_;
    const std::vector<const EntityDescription*>& schema_;
    std::uint64_t storeIdentifier_ = 0;
    std::vector<std::int64_t> lastRows_;
    std::map<Key, std::weak_ptr<ModelObject>> live_;
    // Expired entries are swept once the map has doubled since the last sweep: sweeping on
    // every fetch made a fetch of one script's bookmarks cost a walk over every record.
    std::size_t sweepAtSize_ = 64;
    std::map<Key, std::shared_ptr<ModelObject>> inserted_;
    std::map<Key, std::shared_ptr<ModelObject>> updated_;
    std::map<Key, std::shared_ptr<ModelObject>> deleted_;
};

}  // namespace vorela
