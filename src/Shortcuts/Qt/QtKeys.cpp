#include "Shortcuts/Qt/QtKeys.h"

#include <QKeyEvent>
#include <QString>
#include <utility>

#include "Platform/Keys/KeyboardLayout.h"
#include "Shortcuts/SpecialKey.h"

namespace vorela::Shortcuts {
namespace {

// Qt's key for each position of a US keyboard (shifted symbols name the same key).
constexpr std::pair<int, int> kQtKeyToCarbon[] = {
    {Qt::Key_A, 0},
    {Qt::Key_S, 1},
    {Qt::Key_D, 2},
    {Qt::Key_F, 3},
    {Qt::Key_H, 4},
    {Qt::Key_G, 5},
    {Qt::Key_Z, 6},
    {Qt::Key_X, 7},
    {Qt::Key_C, 8},
    {Qt::Key_V, 9},
    {Qt::Key_B, 11},
    {Qt::Key_Q, 12},
    {Qt::Key_W, 13},
    {Qt::Key_E, 14},
    {Qt::Key_R, 15},
    {Qt::Key_Y, 16},
    {Qt::Key_T, 17},
    {Qt::Key_1, 18},
    {Qt::Key_2, 19},
    {Qt::Key_3, 20},
    {Qt::Key_4, 21},
    {Qt::Key_6, 22},
    {Qt::Key_5, 23},
    {Qt::Key_Equal, 24},
    {Qt::Key_9, 25},
    {Qt::Key_7, 26},
    {Qt::Key_Minus, 27},
    {Qt::Key_8, 28},
    {Qt::Key_0, 29},
    {Qt::Key_BracketRight, 30},
    {Qt::Key_O, 31},
    {Qt::Key_U, 32},
    {Qt::Key_BracketLeft, 33},
    {Qt::Key_I, 34},
    {Qt::Key_P, 35},
    {Qt::Key_Return, 36},
    {Qt::Key_L, 37},
    {Qt::Key_J, 38},
    {Qt::Key_Apostrophe, 39},
    {Qt::Key_K, 40},
    {Qt::Key_Semicolon, 41},
    {Qt::Key_Backslash, 42},
    {Qt::Key_Comma, 43},
    {Qt::Key_Slash, 44},
    {Qt::Key_N, 45},
    {Qt::Key_M, 46},
    {Qt::Key_Period, 47},
    {Qt::Key_Tab, 48},
    {Qt::Key_Space, 49},
    {Qt::Key_QuoteLeft, 50},
    {Qt::Key_Backspace, 51},
    {Qt::Key_Escape, 53},
    {Qt::Key_F1, 122},
    {Qt::Key_F2, 120},
    {Qt::Key_F3, 99},
    {Qt::Key_F4, 118},
    {Qt::Key_F5, 96},
    {Qt::Key_F6, 97},
    {Qt::Key_F7, 98},
    {Qt::Key_F8, 100},
    {Qt::Key_F9, 101},
    {Qt::Key_F10, 109},
    {Qt::Key_F11, 103},
    {Qt::Key_F12, 111},
    {Qt::Key_F13, 105},
    {Qt::Key_F14, 107},
    {Qt::Key_F15, 113},
    {Qt::Key_F16, 106},
    {Qt::Key_F17, 64},
    {Qt::Key_F18, 79},
    {Qt::Key_F19, 80},
    {Qt::Key_F20, 90},
    {Qt::Key_Help, 114},
    {Qt::Key_Home, 115},
    {Qt::Key_PageUp, 116},
    {Qt::Key_Delete, 117},
    {Qt::Key_End, 119},
    {Qt::Key_PageDown, 121},
    {Qt::Key_Left, 123},
    {Qt::Key_Right, 124},
    {Qt::Key_Down, 125},
    {Qt::Key_Up, 126},
    {Qt::Key_Enter, 76},
    {Qt::Key_Exclam, 18},
    {Qt::Key_At, 19},
    {Qt::Key_NumberSign, 20},
    {Qt::Key_Dollar, 21},
    {Qt::Key_Percent, 23},
    {Qt::Key_AsciiCircum, 22},
    {Qt::Key_Ampersand, 26},
    {Qt::Key_Asterisk, 28},
    {Qt::Key_ParenLeft, 25},
    {Qt::Key_ParenRight, 29},
    {Qt::Key_Underscore, 27},
    {Qt::Key_Plus, 24},
    {Qt::Key_BraceLeft, 33},
    {Qt::Key_BraceRight, 30},
    {Qt::Key_Bar, 42},
    {Qt::Key_Colon, 41},
    {Qt::Key_QuoteDbl, 39},
};

// With the keypad modifier Qt names keypad keys by their character.
constexpr std::pair<int, int> kKeypadToCarbon[] = {
    {Qt::Key_0, 82},     {Qt::Key_1, 83},     {Qt::Key_2, 84},      {Qt::Key_3, 85},
    {Qt::Key_4, 86},     {Qt::Key_5, 87},     {Qt::Key_6, 88},      {Qt::Key_7, 89},
    {Qt::Key_8, 91},     {Qt::Key_9, 92},     {Qt::Key_Period, 65}, {Qt::Key_Slash, 75},
    {Qt::Key_Enter, 76}, {Qt::Key_Equal, 81}, {Qt::Key_Minus, 78},  {Qt::Key_Asterisk, 67},
    {Qt::Key_Plus, 69},
};

template <std::size_t N>
std::optional<int> lookup(const std::pair<int, int> (&table)[N], int key) {
    for (const auto& [qt, carbonCode] : table) {
        if (qt == key) return carbonCode;
    }
    return std::nullopt;
}

std::optional<int> qtKeyFor(int carbonCode) {
    for (const auto& [qt, code] : kQtKeyToCarbon) {
        if (code == carbonCode) return qt;
    }
    return std::nullopt;
}

ModifierFlags flagsFrom(Qt::KeyboardModifiers modifiers) {
    ModifierFlags flags;
    if (modifiers & Qt::ShiftModifier) flags = flags | ModifierFlags::shift;
    if (modifiers & Qt::ControlModifier) flags = flags | ModifierFlags::control;
    if (modifiers & Qt::AltModifier) flags = flags | ModifierFlags::option;
    if (modifiers & Qt::MetaModifier) flags = flags | ModifierFlags::command;
    if (modifiers & Qt::KeypadModifier) flags = flags | ModifierFlags::numericPad;
    return flags;
}

Qt::KeyboardModifiers qtModifiers(ModifierFlags flags) {
    Qt::KeyboardModifiers modifiers;
    if (flags.contains(ModifierFlags::shift)) modifiers |= Qt::ShiftModifier;
    if (flags.contains(ModifierFlags::control)) modifiers |= Qt::ControlModifier;
    if (flags.contains(ModifierFlags::option)) modifiers |= Qt::AltModifier;
    if (flags.contains(ModifierFlags::command)) modifiers |= Qt::MetaModifier;
    return modifiers;
}

}  // namespace

KeyEvent keyEventFrom(const QKeyEvent& event, const KeyboardLayout* layout) {
    KeyEvent key;
    key.type = event.type() == QEvent::KeyRelease ? KeyEvent::Type::keyUp : KeyEvent::Type::keyDown;
    key.modifierFlags = flagsFrom(event.modifiers());
    key.isRepeat = event.isAutoRepeat();
    std::optional<int> code;
    if (layout) code = layout->carbonKeyCodeForScanCode(event.nativeScanCode());
    if (!code && (event.modifiers() & Qt::KeypadModifier)) {
        code = lookup(kKeypadToCarbon, event.key());
    }
    if (!code && event.key() == Qt::Key_Backtab) code = Key::tab.rawValue;
    if (!code) code = lookup(kQtKeyToCarbon, event.key());
    // Keys without a position of their own (media, modifiers alone) give no shortcut.
    key.keyCode = code.value_or(-1);
    if (!code) key.type = KeyEvent::Type::other;
    return key;
}

QKeySequence keySequenceFor(const Shortcut& shortcut, const KeyboardLayout* layout) {
    const auto modifiers = qtModifiers(shortcut.modifiers());
    if (const auto special = specialKeyFor(shortcut.key())) {
        if (!menuItemKeyEquivalent(*special)) return {};
        const auto key = qtKeyFor(shortcut.carbonKeyCode);
        return key ? QKeySequence(QKeyCombination(modifiers, static_cast<Qt::Key>(*key)))
                   : QKeySequence();
    }
    const auto equivalent = shortcut.nsMenuItemKeyEquivalent(layout);
    if (!equivalent) return {};
    const QString text = QString::fromStdString(*equivalent).toUpper();
    if (text.size() != 1) return {};
    return QKeySequence(QKeyCombination(modifiers, static_cast<Qt::Key>(text.at(0).unicode())));
}

std::optional<MenuKeyEquivalent> menuKeyEquivalentFor(const QKeySequence& sequence) {
    if (sequence.isEmpty()) return std::nullopt;
    const QKeyCombination combination = sequence[0];
    const int key = combination.key();
    const ModifierFlags mask = flagsFrom(combination.keyboardModifiers());
    if (const auto code = lookup(kQtKeyToCarbon, key)) {
        if (const auto special = specialKeyFor(Key(*code))) {
            const auto equivalent = menuItemKeyEquivalent(*special);
            if (!equivalent) return std::nullopt;
            return MenuKeyEquivalent{*equivalent, mask};
        }
    }
    if (key <= 0 || key > 0xFFFF) return std::nullopt;
    return MenuKeyEquivalent{QString(QChar(key)).toLower().toStdString(), mask};
}

}  // namespace vorela::Shortcuts
