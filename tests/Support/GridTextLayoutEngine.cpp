#include "Support/GridTextLayoutEngine.h"

#include <algorithm>
#include <cmath>

#include "Platform/Foundation/Utf8.h"

namespace vorela::testing {

namespace {

std::u16string toUtf16(std::string_view s) {
    std::u16string out;
    for (std::size_t i = 0; i < s.size();) {
        char32_t cp = unicode::nextCodePoint(s, i);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

class GridLayout final : public TextLayout {
public:
    GridLayout(std::vector<LayoutLine> lines, double advance)
        : lines_(std::move(lines)), advance_(advance) {}

    const std::vector<LayoutLine>& lines() const override { return lines_; }
    double height() const override { return lines_.empty() ? 0 : lines_.back().bottom; }

    std::vector<Rect> segmentRects(Utf16Range range) const override {
        std::vector<Rect> rects;
        if (range.length == 0) return rects;
        for (const auto& line : lines_) {
            const std::size_t from = std::max<std::size_t>(range.location, line.utf16Start);
            const std::size_t to = std::min<std::size_t>(range.end(), line.utf16End);
            if (from >= to) continue;
            rects.push_back({(from - line.utf16Start) * advance_, line.top, (to - from) * advance_,
                             line.bottom - line.top});
        }
        return rects;
    }

private:
    std::vector<LayoutLine> lines_;
    double advance_ = 0;
};

}  // namespace

std::unique_ptr<TextLayout> GridTextLayoutEngine::layout(std::string_view utf8Text, double width,
                                                         const TextStyle& style) {
    ++layoutCount_;
    lastWidth_ = width;
    const double size = style.font.candidates.empty() ? 28 : style.font.candidates.front().size;
    const double advance = size / 2;
    const auto perLine =
        std::max<std::size_t>(1, static_cast<std::size_t>(std::floor(width / advance)));
    const std::u16string text = toUtf16(utf8Text);

    std::vector<LayoutLine> lines;
    double y = 0;
    auto addLine = [&](std::size_t start, std::size_t end) {
        lines.push_back({y, y + size, start, end});
        y += size + style.lineSpacing;
    };
    std::size_t paragraphStart = 0;
    while (paragraphStart <= text.size()) {
        std::size_t paragraphEnd = text.find(u'\n', paragraphStart);
        if (paragraphEnd == std::u16string::npos) paragraphEnd = text.size();
        std::size_t start = paragraphStart;
        do {
            std::size_t end = paragraphEnd;
            if (end - start > perLine) {
                // Break after the last space that fits; trailing spaces stay on the line.
                std::size_t cut = start + perLine;
                std::size_t space = text.rfind(u' ', cut);
                if (space != std::u16string::npos && space >= start && space + 1 > start) {
                    cut = space + 1;
                    while (cut < paragraphEnd && text[cut] == u' ') ++cut;
                }
                end = cut;
            }
            // The line feed belongs to the paragraph's last line.
            addLine(start, end == paragraphEnd && end < text.size() ? end + 1 : end);
            start = end;
        } while (start < paragraphEnd);
        if (paragraphEnd == text.size()) break;
        paragraphStart = paragraphEnd + 1;
        if (paragraphStart == text.size()) break;
    }
    if (text.empty()) lines.clear();
    return std::make_unique<GridLayout>(std::move(lines), advance);
}

}  // namespace vorela::testing
