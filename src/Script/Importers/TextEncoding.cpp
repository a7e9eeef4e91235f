#include "Script/Importers/TextEncoding.h"

#include <cstdint>

#include "Platform/Foundation/Utf8.h"

namespace vorela {

namespace {

enum class ByteOrder { little, big };

std::uint32_t unitAt(std::string_view bytes, std::size_t at, std::size_t width, ByteOrder order) {
    std::uint32_t value = 0;
    for (std::size_t k = 0; k < width; ++k) {
        const std::size_t index = order == ByteOrder::little ? at + width - 1 - k : at + k;
        value = value << 8 | static_cast<unsigned char>(bytes[index]);
    }
    return value;
}

std::string utf16ToUtf8(std::string_view bytes, ByteOrder order) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    const std::size_t units = bytes.size() / 2;
    for (std::size_t i = 0; i < units; ++i) {
        const std::uint32_t unit = unitAt(bytes, i * 2, 2, order);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units) {
            const std::uint32_t low = unitAt(bytes, (i + 1) * 2, 2, order);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                unicode::appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        unicode::appendUtf8(out, unit);  // a lone surrogate appends U+FFFD
    }
    if (bytes.size() % 2 != 0) unicode::appendUtf8(out, unicode::kReplacementCharacter);
    return out;
}

std::string utf32ToUtf8(std::string_view bytes, ByteOrder order) {
    std::string out;
    out.reserve(bytes.size());
    const std::size_t units = bytes.size() / 4;
    for (std::size_t i = 0; i < units; ++i)
        unicode::appendUtf8(out, unitAt(bytes, i * 4, 4, order));
    if (bytes.size() % 4 != 0) unicode::appendUtf8(out, unicode::kReplacementCharacter);
    return out;
}

}  // namespace

std::string TextEncoding::decode(std::string_view bytes) {
    using namespace std::string_view_literals;
    // UTF-32LE's mark begins with UTF-16LE's, so it is tested first.
    if (bytes.starts_with("\xFF\xFE\x00\x00"sv)) {
        return utf32ToUtf8(bytes.substr(4), ByteOrder::little);
    }
    if (bytes.starts_with("\x00\x00\xFE\xFF"sv))
        return utf32ToUtf8(bytes.substr(4), ByteOrder::big);
    if (bytes.starts_with("\xFF\xFE"sv)) return utf16ToUtf8(bytes.substr(2), ByteOrder::little);
    if (bytes.starts_with("\xFE\xFF"sv)) return utf16ToUtf8(bytes.substr(2), ByteOrder::big);
    if (bytes.starts_with("\xEF\xBB\xBF"sv)) return unicode::sanitizeUtf8(bytes.substr(3));
    if (unicode::isValidUtf8(bytes)) return std::string(bytes);
    return unicode::windows1252ToUtf8(bytes);
}

std::string TextEncoding::decode(std::string&& bytes) {
    const std::string_view view = bytes;
    const bool utf8Mark = view.starts_with("\xEF\xBB\xBF");
    if (!utf8Mark && (view.starts_with("\xFF\xFE") || view.starts_with("\xFE\xFF") ||
                      view.starts_with(std::string_view("\x00\x00\xFE\xFF", 4)))) {
        return decode(view);
    }
    if (!unicode::isValidUtf8(view.substr(utf8Mark ? 3 : 0))) return decode(view);
    if (utf8Mark) bytes.erase(0, 3);
    return std::move(bytes);
}

}  // namespace vorela
