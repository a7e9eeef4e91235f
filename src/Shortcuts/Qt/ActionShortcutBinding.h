#pragma once

#include <optional>
#include <string>

#include "Shortcuts/Name.h"
#include "Shortcuts/Shortcut.h"

class QAction;

namespace vorela::Shortcuts {

class Context;

// Menu items that follow a named shortcut. Bound to a name, an action shows the keys stored
// for it and follows every change; without keys stored, and once unbound, it shows its own
// earlier shortcut again (saved at the first binding, kept across rebinding). The binding
// lives on the action and goes with it. The context must outlive the action. Main thread.
void setShortcut(Context& context, QAction& action, const std::optional<Name>& name);
// A fixed shortcut instead: any binding and the saved earlier shortcut are dropped.
void setShortcut(const Context& context, QAction& action, const std::optional<Shortcut>& shortcut);
// The name the action is bound to, if any (the recorder reads it).
std::optional<std::string> boundName(const QAction& action);

// An in-window shortcut for a name: the action's shortcut is the name's stored keys, and
// none while any recorder records.
void globalKeyboardShortcut(Context& context, QAction& action, const Name& name);

}  // namespace vorela::Shortcuts
