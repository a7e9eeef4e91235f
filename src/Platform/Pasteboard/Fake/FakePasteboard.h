#pragma once

#include <optional>
#include <string>

#include "Platform/Pasteboard/Pasteboard.h"

namespace vorela {

// A pasteboard that holds whatever the test puts on it.
class FakePasteboard final : public Pasteboard {
public:
    std::optional<std::string> string() const override;

    // Test controls.
    void setString(std::optional<std::string> text) { text_ = std::move(text); }
    int readCount() const { return readCount_; }

private:
    std::optional<std::string> text_;
    mutable int readCount_ = 0;
};

}  // namespace vorela
