#pragma once

#include <string>
#include <utility>

#include "Script/Importers/Expected.h"

namespace vorela {

// Why an import failed, with the Spanish text the user sees.
class ScriptImportError {
public:
    enum class Kind { unsupportedType, unreadable, emptyContent, tooLarge };

    // `extension` is the lower-cased file extension.
    static ScriptImportError unsupportedType(std::string extension) {
        return {Kind::unsupportedType, std::move(extension)};
    }
    // `message` is shown unchanged.
    static ScriptImportError unreadable(std::string message) {
        return {Kind::unreadable, std::move(message)};
    }
    static ScriptImportError emptyContent() { return {Kind::emptyContent, {}}; }
    // The text a file unpacks into is over the library's limit; `fileName` may be empty.
    static ScriptImportError tooLarge(std::string fileName) {
        return {Kind::tooLarge, std::move(fileName)};
    }

    Kind kind() const { return kind_; }
    // The extension of unsupportedType, the message of unreadable, the file name of
    // tooLarge, empty otherwise.
    const std::string& payload() const { return payload_; }
    std::string description() const;

    bool operator==(const ScriptImportError&) const = default;

private:
    ScriptImportError(Kind kind, std::string payload) : kind_(kind), payload_(std::move(payload)) {}

    Kind kind_ = Kind::emptyContent;
    std::string payload_;
};

template <class T>
using ImportResult = Expected<T, ScriptImportError>;

}  // namespace vorela
