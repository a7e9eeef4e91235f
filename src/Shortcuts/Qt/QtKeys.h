#pragma once

#include <QKeySequence>
#include <optional>
#include <string>

#include "Shortcuts/KeyEvent.h"
#include "Shortcuts/Shortcut.h"

class QKeyEvent;

namespace vorela {
class KeyboardLayout;
}

namespace vorela::Shortcuts {

// Translations between Qt's keys and the stored form (macOS virtual key codes by position,
// Carbon bits). On Linux Ctrl is Control, Alt is Option and the Super (Meta) key Command.

// A key press as the recorder sees it: the key by the layout's scan-code lookup when the
// platform gives one, else by Qt's key on a US layout.
KeyEvent keyEventFrom(const QKeyEvent& event, const KeyboardLayout* layout);

// The menu key sequence that shows a shortcut: empty when its key has no menu key
// equivalent (keypad keys) or no character.
QKeySequence keySequenceFor(const Shortcut& shortcut, const KeyboardLayout* layout);

// A key sequence's first combination as a menu item's key equivalent: a lower-case
// character or a special key's equivalent, with its modifier flags; nothing for none.
struct MenuKeyEquivalent {
    std::string keyEquivalent;
    ModifierFlags modifierMask;
};
std::optional<MenuKeyEquivalent> menuKeyEquivalentFor(const QKeySequence& sequence);

}  // namespace vorela::Shortcuts
