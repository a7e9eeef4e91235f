#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "Platform/Observation/ObserverList.h"
#include "Platform/Store/ModelSchema.h"

namespace vorela {

class ModelContext;

// The base of a persistent record. A context keeps at most one live object per stored
// row, so two references to the same record are the same object. Records compare and
// hash by persistent identity (see operator== below), never by their fields. Subclasses
// expose typed properties over value()/setValue(). Main thread only.
class ModelObject {
public:
    virtual ~ModelObject() = default;
    ModelObject(const ModelObject&) = delete;
    ModelObject& operator=(const ModelObject&) = delete;
    ModelObject(ModelObject&&) = delete;
    ModelObject& operator=(ModelObject&&) = delete;

    const EntityDescription& entity() const { return *entity_; }
    // Assigned when the record is inserted into a context; row 0 before that.
    const PersistentIdentifier& persistentModelID() const { return id_; }
    bool isInserted() const { return id_.row != 0; }
    // True once the record was deleted from its context, saved or not.
    bool isDeleted() const { return isDeleted_; }

    // Runs after any property of this record changes.
    [[nodiscard]] Subscription observeChanges(std::function<void()> callback) {
        return changed_.add([callback = std::move(callback)] { callback(); });
    }

    friend bool operator==(const ModelObject& a, const ModelObject& b) {
        if (!a.isInserted() || !b.isInserted()) return &a == &b;
        return a.id_ == b.id_;
    }

protected:
    explicit ModelObject(const EntityDescription& entity)
        : entity_(&entity), values_(entity.attributes.size()) {}

    const ModelValue& value(std::size_t attribute) const { return values_.at(attribute); }
    // Stores the value and marks the record changed in its context.
    void setValue(std::size_t attribute, ModelValue value);
    // The context the record lives in, or null before insertion and after the store closed.
    std::shared_ptr<ModelContext> context() const { return context_.lock(); }

private:
    friend class ModelContext;

    const EntityDescription* entity_ = nullptr;
    PersistentIdentifier id_;
    std::vector<ModelValue> values_;
    std::weak_ptr<ModelContext> context_;
    bool isDeleted_ = false;
    ObserverList<> changed_;
};

}  // namespace vorela
