#include "Script/Bookmark.h"

#include "Platform/Store/ModelContext.h"
#include "Script/Script.h"

namespace vorela {

const EntityDescription& Bookmark::entityDescription() {
    static const EntityDescription description{
        "Bookmark",
        {
            AttributeDescription::field("tokenIndex", AttributeType::integer),
            AttributeDescription::field("label", AttributeType::text),
            AttributeDescription::reference("script", "Script", true),
        },
        [] { return std::make_shared<Bookmark>(Passkey{}); }};
    return description;
}

std::shared_ptr<Bookmark> Bookmark::make(long tokenIndex, std::string label) {
    auto bookmark = std::make_shared<Bookmark>(Passkey{});
    bookmark->setTokenIndex(tokenIndex);
    bookmark->setLabel(std::move(label));
    return bookmark;
}

long Bookmark::tokenIndex() const {
    const auto* index = std::get_if<std::int64_t>(&value(kTokenIndex));
    return index ? static_cast<long>(*index) : 0;
}

void Bookmark::setTokenIndex(long index) {
    setValue(kTokenIndex, static_cast<std::int64_t>(index));
}

const std::string& Bookmark::label() const {
    static const std::string kEmpty;
    const auto* label = std::get_if<std::string>(&value(kLabel));
    return label ? *label : kEmpty;
}

void Bookmark::setLabel(std::string label) { setValue(kLabel, std::move(label)); }

std::shared_ptr<Script> Bookmark::script() const {
    const auto* row = std::get_if<std::int64_t>(&value(kScript));
    const auto owner = context();
    if (!row || !owner) return nullptr;
    return std::static_pointer_cast<Script>(owner->object(Script::entityDescription(), *row));
}

void Bookmark::setScript(const std::shared_ptr<Script>& script) {
    if (!script || !script->isInserted()) {
        setValue(kScript, std::monostate{});
        return;
    }
    setValue(kScript, script->persistentModelID().row);
}

}  // namespace vorela
