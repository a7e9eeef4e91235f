#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Platform/Defaults/PropertyList.h"

namespace vorela::PlistXml {

// The XML property-list text of an object, with tab indentation. Reals are written so
// that they read back as the same double (non-finite ones as "nan", "+infinity",
// "-infinity"); dates are written in whole seconds, the only form the format defines and
// other readers accept. Text that XML cannot carry (a
// control character other than tab, line feed and carriage return, or bytes that are
// not UTF-8) is written as U+FFFD, so the file always reads back. Null objects, which
// no property list can hold, are left out of arrays and dictionaries.
std::string write(const PropertyList& object);

struct ParseResult {
    std::optional<PropertyList> object;
    std::string error;  // Spanish description when there is no object
    // Entries left out of the object, one Spanish line each, for the caller to log.
    std::vector<std::string> dropped;
};

// Reads the text written by write(), dates with a fraction of a second as older files
// hold them, and the common hand-written variants (a document type declaration, <dict/>,
// <array/>). An integer beyond both 64-bit ranges drops only its own entry (see
// `dropped`). Entity declarations are refused and nothing external is ever loaded.
// Nesting is limited to kMaxDepth levels.
ParseResult parse(std::string_view xml);

inline constexpr int kMaxDepth = 256;

}  // namespace vorela::PlistXml
