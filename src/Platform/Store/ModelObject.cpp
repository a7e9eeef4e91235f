#include "Platform/Store/ModelObject.h"

#include "Platform/Store/ModelContext.h"

namespace vorela {

void ModelObject::setValue(std::size_t attribute, ModelValue value) {
    if (values_.at(attribute) == value) return;
    values_[attribute] = std::move(value);
    if (auto owner = context_.lock()) owner->objectDidChange(*this);
    changed_.notify();
}

}  // namespace vorela
