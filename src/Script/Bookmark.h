#pragma once

#include <memory>
#include <string>

#include "Platform/Store/ModelObject.h"

namespace vorela {

class Script;

// A persistent mark on a word of a script (entity "Bookmark"); deleted with its script.
// Records compare by persistent identity. Main thread only.
class Bookmark final : public ModelObject {
    struct Passkey {};

public:
    static const EntityDescription& entityDescription();
    static std::shared_ptr<Bookmark> make(long tokenIndex, std::string label);

    explicit Bookmark(Passkey) : ModelObject(entityDescription()) {}

    // The index of the marked word among the script's tokens.
    long tokenIndex() const;
    void setTokenIndex(long index);
    const std::string& label() const;
    void setLabel(std::string label);
    // The owning script, or null. Only a stored script can own bookmarks.
    std::shared_ptr<Script> script() const;
    void setScript(const std::shared_ptr<Script>& script);

private:
    enum Attribute : std::size_t { kTokenIndex, kLabel, kScript };
};

}  // namespace vorela
