#include "App/GlobalShortcuts.h"

#include "App/AppState.h"
#include "App/PanelControlling.h"
#include "Script/ReadingRate.h"
#include "Shortcuts/Shortcuts.h"

namespace vorela::GlobalShortcuts {
namespace {

using Shortcuts::Key;
using Shortcuts::ModifierFlags;
using Shortcuts::Name;
using Shortcuts::Shortcut;

// Declaring again is harmless: a stored value, a removal included, is never overwritten.
// Not cached, so a new shortcut context (a new start) gets its defaults too.
Name declared(const char* rawValue, Key key) {
    return Name::declare(rawValue, Shortcut(key, ModifierFlags::option));
}

// A handler that runs `action` on the state while it lives.
Shortcuts::Handler onState(const std::weak_ptr<AppState>& weak, void (*action)(AppState&)) {
    return [weak, action] {
        if (auto state = weak.lock()) action(*state);
    };
}

}  // namespace

Name togglePlay() { return declared("togglePlay", Key::space); }
Name faster() { return declared("faster", Key::rightArrow); }
Name slower() { return declared("slower", Key::leftArrow); }
Name restart() { return declared("restart", Key::r); }
Name togglePanel() { return declared("togglePanel", Key::p); }
Name previousBookmark() { return declared("previousBookmark", Key::upArrow); }
Name nextBookmark() { return declared("nextBookmark", Key::downArrow); }

void registerShortcuts(const std::weak_ptr<AppState>& appState,
                       const std::weak_ptr<PanelControlling>& panelController) {
    Shortcuts::onKeyDown(togglePlay(), onState(appState, [](AppState& s) { s.togglePlayback(); }));
    Shortcuts::onKeyDown(faster(), onState(appState, [](AppState& s) {
                             s.setWpm(s.wpm.get() + ReadingRate::kStepWpm);
                         }));
    Shortcuts::onKeyDown(slower(), onState(appState, [](AppState& s) {
                             s.setWpm(s.wpm.get() - ReadingRate::kStepWpm);
                         }));
    Shortcuts::onKeyDown(restart(), onState(appState, [](AppState& s) { s.restart(); }));
    Shortcuts::onKeyDown(togglePanel(), [panelController] {
        if (auto panel = panelController.lock()) panel->toggle();
    });
    Shortcuts::onKeyDown(previousBookmark(),
                         onState(appState, [](AppState& s) { s.jumpToPreviousBookmark(); }));
    Shortcuts::onKeyDown(nextBookmark(),
                         onState(appState, [](AppState& s) { s.jumpToNextBookmark(); }));
}

}  // namespace vorela::GlobalShortcuts
