#pragma once

#include <memory>

#include "Shortcuts/Name.h"

namespace vorela::Shortcuts {
class Context;
}  // namespace vorela::Shortcuts

namespace vorela {

class AppState;
class PanelControlling;

// The application's seven global shortcuts, Option (Alt) by default, and their commands.
namespace GlobalShortcuts {

// The names with their Alt defaults, touching no context: registerShortcuts declares them,
// which stores a default unless something is stored already, a removal by the user included.
Shortcuts::Name togglePlay();
Shortcuts::Name faster();
Shortcuts::Name slower();
Shortcuts::Name restart();
Shortcuts::Name togglePanel();
Shortcuts::Name previousBookmark();
Shortcuts::Name nextBookmark();

// Declares the seven names in `context`, as the start does; harmless again.
void declareNames(Shortcuts::Context& context);

// Declares the seven names in `context` and wires their handlers, once per process, before
// launching finishes. The handlers hold their targets weakly and do nothing once they are
// gone.
void registerShortcuts(Shortcuts::Context& context, const std::weak_ptr<AppState>& appState,
                       const std::weak_ptr<PanelControlling>& panelController);

}  // namespace GlobalShortcuts
}  // namespace vorela
