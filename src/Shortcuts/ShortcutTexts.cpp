#include "Shortcuts/ShortcutTexts.h"

#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <array>
#include <memory>
#include <utility>

namespace vorela::Shortcuts {
namespace {

// The subsystem's bundle. Spanish, like every other text of the application; "%@" stands
// for the one argument of a text that takes one.
constexpr std::array<std::pair<std::string_view, std::string_view>, 9> kTexts{{
    {"space_key", "espacio"},
    {"record_shortcut", "Grabar atajo"},
    {"press_shortcut", "Pulsá el atajo"},
    {"keyboard_shortcut_used_by_menu_item", "Este atajo ya lo usa el elemento de menú «%@»."},
    {"keyboard_shortcut_used_by_system", "Este atajo ya lo usa el escritorio u otra aplicación."},
    {"keyboard_shortcuts_can_be_changed",
     "Podés cambiar los atajos del escritorio en su configuración de teclado."},
    {"keyboard_shortcut_disallowed",
     "Un atajo no puede usar solo Opción (con o sin Mayúsculas) como modificador."},
    {"force_use_shortcut", "Usarlo igual"},
    {"ok", "Aceptar"},
}};

}  // namespace

std::string localizedText(std::string_view key) {
    for (const auto& [k, text] : kTexts) {
        if (k == key) return std::string(text);
    }
    return std::string(key);
}

std::string localizedText(std::string_view key, std::string_view argument) {
    std::string text = localizedText(key);
    if (const auto at = text.find("%@"); at != std::string::npos) {
        text.replace(at, 2, argument);
    }
    return text;
}

std::string capitalizedWords(std::string_view utf8Text) {
    auto text = icu::UnicodeString::fromUTF8(
        icu::StringPiece(utf8Text.data(), static_cast<int32_t>(utf8Text.size())));
    // Word title-casing, as the platform's capitalisation does ("r" -> "R").
    text.toTitle(nullptr, icu::Locale::getRoot());
    std::string out;
    text.toUTF8String(out);
    return out;
}

bool isSingleCharacter(std::string_view utf8Text) {
    if (utf8Text.empty()) return false;
    auto text = icu::UnicodeString::fromUTF8(
        icu::StringPiece(utf8Text.data(), static_cast<int32_t>(utf8Text.size())));
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> characters(
        icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status) || !characters) return false;
    characters->setText(text);
    characters->first();
    return characters->next() == text.length();
}

std::optional<char32_t> characterFromUnicodeScalarValue(std::int64_t value) {
    if (value < 0 || value > 0x10FFFF) return std::nullopt;
    if (value >= 0xD800 && value <= 0xDFFF) return std::nullopt;
    return static_cast<char32_t>(value);
}

std::optional<char32_t> singleScalar(std::string_view utf8Text) {
    auto text = icu::UnicodeString::fromUTF8(
        icu::StringPiece(utf8Text.data(), static_cast<int32_t>(utf8Text.size())));
    if (text.isEmpty() || text.countChar32() != 1) return std::nullopt;
    return static_cast<char32_t>(text.char32At(0));
}

}  // namespace vorela::Shortcuts
