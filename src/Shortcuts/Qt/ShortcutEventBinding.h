#pragma once

#include <functional>

#include "Shortcuts/EventType.h"
#include "Shortcuts/Name.h"

class QWidget;

namespace vorela::Shortcuts {

class Context;

// A widget's own hold on a named shortcut's presses: while the widget is shown, each press
// and release of the name's keys, from any application, runs the action on the main
// thread in the order they came. Hiding the widget stops listening and showing it starts
// again; the binding goes with the widget. The context must outlive the widget. Main
// thread.
void onGlobalKeyboardShortcut(Context& context, QWidget& widget, const Name& name,
                              std::function<void(EventType)> perform);
// The same for one kind of event only (presses or releases).
void onGlobalKeyboardShortcut(Context& context, QWidget& widget, const Name& name, EventType type,
                              std::function<void()> perform);

// Older names of the two above.
inline void onKeyboardShortcut(Context& context, QWidget& widget, const Name& name,
                               std::function<void(EventType)> perform) {
    onGlobalKeyboardShortcut(context, widget, name, std::move(perform));
}
inline void onKeyboardShortcut(Context& context, QWidget& widget, const Name& name, EventType type,
                               std::function<void()> perform) {
    onGlobalKeyboardShortcut(context, widget, name, type, std::move(perform));
}

}  // namespace vorela::Shortcuts
