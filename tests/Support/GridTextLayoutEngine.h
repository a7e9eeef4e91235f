#pragma once

#include "Render/TextLayout.h"

namespace vorela::testing {

// A deterministic layout for exact tests: every UTF-16 code unit is half the font size
// wide and every line is one font size high plus the style's line spacing. Lines wrap
// after the last space that fits, else anywhere; a line keeps its trailing spaces.
class GridTextLayoutEngine final : public TextLayoutEngine {
public:
    std::unique_ptr<TextLayout> layout(std::string_view utf8Text, double width,
                                       const TextStyle& style) override;
    int layoutCount() const { return layoutCount_; }
    double lastWidth() const { return lastWidth_; }

private:
    int layoutCount_ = 0;
    double lastWidth_ = 0;
};

}  // namespace vorela::testing
