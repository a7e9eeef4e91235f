#pragma once

#include <optional>
#include <string>

namespace vorela {

// The desktop's general pasteboard (the clipboard), plain text only. Main thread only.
class Pasteboard {
public:
    virtual ~Pasteboard() = default;
    // The pasteboard's plain text, or nothing when it holds no text.
    virtual std::optional<std::string> string() const = 0;
};

}  // namespace vorela
