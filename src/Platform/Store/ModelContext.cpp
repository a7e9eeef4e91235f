#include "Platform/Store/ModelContext.h"

#include <algorithm>
#include <set>
#include <string>

#include "Platform/Store/SqliteDatabase.h"

namespace vorela {

namespace {

std::string quoted(const std::string& name) { return "\"" + name + "\""; }

std::string columnList(const EntityDescription& entity) {
    std::string columns = "id";
    for (const auto& attribute : entity.attributes) columns += ", " + quoted(attribute.name);
    return columns;
}

// The attributes of the row a statement selected with columnList().
std::vector<ModelValue> readValues(const SqliteDatabase::Statement& select,
                                   const EntityDescription& entity) {
    std::vector<ModelValue> values;
    values.reserve(entity.attributes.size());
    for (std::size_t i = 0; i < entity.attributes.size(); ++i)
        values.push_back(select.column(static_cast<int>(i + 1), entity.attributes[i].type));
    return values;
}

}  // namespace

ModelContext::ModelContext(SqliteDatabase& db, const std::vector<const EntityDescription*>& schema,
                           std::uint64_t storeIdentifier, std::vector<std::int64_t> lastRows)
    : db_(db), schema_(schema), storeIdentifier_(storeIdentifier), lastRows_(std::move(lastRows)) {}

ModelContext::~ModelContext() {
    // Records may outlive the store; they keep their values but no longer reach it.
    for (auto& [key, weak] : live_) {
        if (auto object = weak.lock()) object->context_.reset();
    }
}

std::size_t ModelContext::entityIndex(const EntityDescription& entity) const {
    for (std::size_t i = 0; i < schema_.size(); ++i) {
        if (schema_[i] == &entity || schema_[i]->name == entity.name) return i;
    }
    return schema_.size();
}

ModelContext::Key ModelContext::keyOf(const ModelObject& object) const {
    return {entityIndex(object.entity()), object.persistentModelID().row};
}

void ModelContext::insert(const std::shared_ptr<ModelObject>& object) {
    if (!object || object->isInserted()) return;
    const std::size_t entity = entityIndex(object->entity());
    if (entity == schema_.size()) return;
    const std::int64_t row = ++lastRows_[entity];
    object->id_ = PersistentIdentifier{storeIdentifier_, schema_[entity]->name, row};
    object->context_ = weak_from_this();
    live_[{entity, row}] = object;
    inserted_[{entity, row}] = object;
}

void ModelContext::deleteObject(const std::shared_ptr<ModelObject>& object) {
    if (!object || !object->isInserted() || object->isDeleted()) return;
    if (object->context_.lock().get() != this) return;
    deleteRecursively(object);
}

void ModelContext::deleteRecursively(const std::shared_ptr<ModelObject>& object) {
    object->isDeleted_ = true;
    const Key key = keyOf(*object);
    updated_.erase(key);
    if (inserted_.erase(key) == 0) deleted_[key] = object;
    for (const EntityDescription* entity : schema_) {
        for (std::size_t a = 0; a < entity->attributes.size(); ++a) {
            const auto& attribute = entity->attributes[a];
            if (attribute.type != AttributeType::reference ||
                attribute.destination != object->entity().name) {
                continue;
            }
            for (const auto& dependent : fetchReferencing(*entity, a, *object).objects) {
                if (attribute.cascades) {
                    deleteRecursively(dependent);
                } else {
                    dependent->setValue(a, std::monostate{});
                }
            }
        }
    }
}

bool ModelContext::hasChanges() const {
    return !inserted_.empty() || !updated_.empty() || !deleted_.empty();
}

void ModelContext::objectDidChange(ModelObject& object) {
    if (object.isDeleted() || !object.isInserted()) return;
    const Key key = keyOf(object);
    if (inserted_.contains(key)) return;
    const auto live = live_.find(key);
    if (live == live_.end()) return;
    if (auto strong = live->second.lock()) updated_[key] = std::move(strong);
}

std::optional<StoreError> ModelContext::save() {
    if (!hasChanges()) return std::nullopt;
    if (auto error = db_.execute("BEGIN IMMEDIATE")) return error;
    // References are checked when the transaction commits, so the order of writes is free.
    std::optional<StoreError> error = db_.execute("PRAGMA defer_foreign_keys = ON");
    Refusals refused;
    if (!error) error = writeChanges(refused);
    if (!error) error = db_.execute("COMMIT");
    if (error) {
        // A write error may have ended the transaction already.
        if (db_.isInTransaction()) db_.execute("ROLLBACK");
        return error;
    }
    // What the file refused stays pending, alone: the next save tries it again.
    for (auto* changes : {&inserted_, &updated_, &deleted_})
        std::erase_if(*changes,
                      [&](const auto& item) { return !refused.keys.contains(item.first); });
    return refused.first;
}

std::vector<std::shared_ptr<ModelObject>> ModelContext::unsavedObjects(
    const EntityDescription& entity) const {
    const std::size_t index = entityIndex(entity);
    std::vector<std::shared_ptr<ModelObject>> objects;
    for (const auto* changes : {&inserted_, &updated_}) {
        for (auto it = changes->lower_bound({index, 0});
             it != changes->end() && it->first.first == index; ++it)
            objects.push_back(it->second);
    }
    std::sort(objects.begin(), objects.end(), [](const auto& a, const auto& b) {
        return a->persistentModelID().row < b->persistentModelID().row;
    });
    return objects;
}

std::optional<StoreError> ModelContext::writeChange(SqliteDatabase::Statement& statement,
                                                    const Key& key, Refusals& refused) {
    statement.step();
    const auto error = statement.error();
    if (!error) return std::nullopt;
    // SQLite undid the one statement and kept the transaction: the others are still written.
    if (!db_.isInTransaction()) return error;
    refused.keys.insert(key);
    if (!refused.first) refused.first = error;
    return std::nullopt;
}

std::optional<StoreError> ModelContext::writeChanges(Refusals& refused) {
    for (const auto& [key, object] : inserted_) {
        const EntityDescription& entity = *schema_[key.first];
        std::string placeholders = "?";
        for (std::size_t i = 0; i < entity.attributes.size(); ++i) placeholders += ", ?";
        SqliteDatabase::Statement insert(db_, "INSERT INTO " + quoted(entity.name) + " (" +
                                                  columnList(entity) + ") VALUES (" + placeholders +
                                                  ")");
        insert.bind(1, key.second);
        for (std::size_t i = 0; i < entity.attributes.size(); ++i) {
            insert.bind(static_cast<int>(i + 2), object->values_[i]);
        }
        if (auto error = writeChange(insert, key, refused)) return error;
    }
    for (const auto& [key, object] : updated_) {
        const EntityDescription& entity = *schema_[key.first];
        std::string assignments;
        for (const auto& attribute : entity.attributes) {
            assignments += (assignments.empty() ? "" : ", ") + quoted(attribute.name) + " = ?";
        }
        SqliteDatabase::Statement update(
            db_, "UPDATE " + quoted(entity.name) + " SET " + assignments + " WHERE id = ?");
        for (std::size_t i = 0; i < entity.attributes.size(); ++i) {
            update.bind(static_cast<int>(i + 1), object->values_[i]);
        }
        update.bind(static_cast<int>(entity.attributes.size() + 1), key.second);
        if (auto error = writeChange(update, key, refused)) return error;
    }
    for (const auto& [key, object] : deleted_) {
        SqliteDatabase::Statement remove(
            db_, "DELETE FROM " + quoted(schema_[key.first]->name) + " WHERE id = ?");
        remove.bind(1, key.second);
        if (auto error = writeChange(remove, key, refused)) return error;
    }
    return std::nullopt;
}

std::shared_ptr<ModelObject> ModelContext::materialize(std::size_t entity, std::int64_t row,
                                                       std::vector<ModelValue> values) {
    auto& slot = live_[{entity, row}];
    if (auto existing = slot.lock()) return existing;
    std::shared_ptr<ModelObject> object = schema_[entity]->make();
    object->id_ = PersistentIdentifier{storeIdentifier_, schema_[entity]->name, row};
    object->values_ = std::move(values);
    object->context_ = weak_from_this();
    slot = object;
    return object;
}

ModelContext::FetchResult ModelContext::fetch(
    std::size_t entity, std::optional<std::pair<std::size_t, std::int64_t>> filter) {
    FetchResult result;
    if (entity >= schema_.size()) return result;
    const EntityDescription& description = *schema_[entity];
    if (live_.size() >= sweepAtSize_) {
        std::erase_if(live_, [](const auto& item) { return item.second.expired(); });
        sweepAtSize_ = std::max<std::size_t>(64, 2 * live_.size());
    }

    const auto select = [&](const std::string& columns) {
        std::string sql = "SELECT " + columns + " FROM " + quoted(description.name);
        if (filter) sql += " WHERE " + quoted(description.attributes[filter->first].name) + " = ?";
        return sql + " ORDER BY id";
    };
    const auto matches = [&](const ModelObject& object) {
        return !filter || object.values_[filter->first] == ModelValue(filter->second);
    };
    // Ids first: a live record already holds its values, unsaved edits included, and reading
    // them again (every script's whole body) only to throw them away was most of a reload.
    std::vector<std::pair<std::int64_t, std::shared_ptr<ModelObject>>> rows;
    std::size_t missing = 0;
    {
        SqliteDatabase::Statement ids(db_, select("id"));
        if (filter) ids.bind(1, filter->second);
        while (ids.step()) {
            const std::int64_t row = ids.integer(0);
            if (deleted_.contains({entity, row})) continue;
            const auto live = live_.find({entity, row});
            auto object = live != live_.end() ? live->second.lock() : nullptr;
            if (!object) ++missing;
            rows.emplace_back(row, std::move(object));
        }
        if (auto error = ids.error()) return FetchResult{{}, error};
    }
    if (missing > kRowsLoadedOneByOne) {
        // Opening the store: one pass over every column beats a query per record.
        SqliteDatabase::Statement all(db_, select(columnList(description)));
        if (filter) all.bind(1, filter->second);
        auto next = rows.begin();
        while (all.step()) {
            const std::int64_t row = all.integer(0);
            while (next != rows.end() && next->first < row) ++next;
            if (next == rows.end() || next->first != row || next->second) continue;
            next->second = materialize(entity, row, readValues(all, description));
        }
        if (auto error = all.error()) return FetchResult{{}, error};
    } else if (missing > 0) {
        for (auto& [row, object] : rows) {
            if (!object) object = load(entity, row);
        }
    }
    std::set<std::int64_t> seen;
    for (auto& [row, object] : rows) {
        seen.insert(row);
        if (object && matches(*object)) result.objects.push_back(std::move(object));
    }

    // Pending inserts, and live records whose reference was changed here but not saved.
    for (auto it = live_.lower_bound({entity, 0}); it != live_.end() && it->first.first == entity;
         ++it) {
        auto object = it->second.lock();
        if (!object || object->isDeleted() || seen.contains(it->first.second)) continue;
        if (!inserted_.contains(it->first) && !filter) continue;
        if (!inserted_.contains(it->first) && !updated_.contains(it->first)) continue;
        if (matches(*object)) result.objects.push_back(std::move(object));
    }
    std::sort(result.objects.begin(), result.objects.end(), [](const auto& a, const auto& b) {
        return a->persistentModelID().row < b->persistentModelID().row;
    });
    return result;
}

ModelContext::FetchResult ModelContext::fetchAll(const EntityDescription& entity) {
    return fetch(entityIndex(entity), std::nullopt);
}

ModelContext::FetchResult ModelContext::fetchReferencing(const EntityDescription& entity,
                                                         std::size_t attribute,
                                                         const ModelObject& target) {
    if (!target.isInserted()) return {};
    return fetch(entityIndex(entity), std::make_pair(attribute, target.persistentModelID().row));
}

std::shared_ptr<ModelObject> ModelContext::object(const EntityDescription& entity,
                                                  std::int64_t row) {
    const std::size_t index = entityIndex(entity);
    if (index >= schema_.size()) return nullptr;
    const auto live = live_.find({index, row});
    if (live != live_.end()) {
        if (auto object = live->second.lock()) return object->isDeleted() ? nullptr : object;
    }
    if (deleted_.contains({index, row})) return nullptr;
    return load(index, row);
}

std::shared_ptr<ModelObject> ModelContext::load(std::size_t entity, std::int64_t row) {
    const EntityDescription& description = *schema_[entity];
    SqliteDatabase::Statement select(db_, "SELECT " + columnList(description) + " FROM " +
                                              quoted(description.name) + " WHERE id = ?");
    select.bind(1, row);
    if (!select.step()) return nullptr;
    return materialize(entity, row, readValues(select, description));
}

}  // namespace vorela
