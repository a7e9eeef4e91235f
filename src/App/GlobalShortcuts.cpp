#include "App/GlobalShortcuts.h"

#include "App/AppState.h"
#include "App/PanelControlling.h"
#include "Script/ReadingRate.h"
#include "Shortcuts/Context.h"
#include "Shortcuts/Shortcuts.h"

namespace vorela::GlobalShortcuts {
namespace {

using Shortcuts::Key;
using Shortcuts::ModifierFlags;
using Shortcuts::Name;
using Shortcuts::Shortcut;

// Each name with its key; Alt (Option) is every default's modifier.
struct Declaration {
    const char* rawValue;
    Key key;
};
constexpr Declaration kTogglePlay{"togglePlay", Key::space};
constexpr Declaration kFaster{"faster", Key::rightArrow};
constexpr Declaration kSlower{"slower", Key::leftArrow};
constexpr Declaration kRestart{"restart", Key::r};
constexpr Declaration kTogglePanel{"togglePanel", Key::p};
constexpr Declaration kPreviousBookmark{"previousBookmark", Key::upArrow};
constexpr Declaration kNextBookmark{"nextBookmark", Key::downArrow};

Shortcut initial(const Declaration& d) { return Shortcut(d.key, ModifierFlags::option); }
Name declared(const Declaration& d) { return Name(d.rawValue, initial(d)); }

// A handler that runs `action` on the state while it lives.
Shortcuts::Handler onState(const std::weak_ptr<AppState>& weak, void (*action)(AppState&)) {
    return [weak, action] {
        if (auto state = weak.lock()) action(*state);
    };
}

}  // namespace

Name togglePlay() { return declared(kTogglePlay); }
Name faster() { return declared(kFaster); }
Name slower() { return declared(kSlower); }
Name restart() { return declared(kRestart); }
Name togglePanel() { return declared(kTogglePanel); }
Name previousBookmark() { return declared(kPreviousBookmark); }
Name nextBookmark() { return declared(kNextBookmark); }

void declareNames(Shortcuts::Context& context) {
    for (const Declaration& d : {kTogglePlay, kFaster, kSlower, kRestart, kTogglePanel,
                                 kPreviousBookmark, kNextBookmark}) {
        context.declare(d.rawValue, initial(d));
    }
}

void registerShortcuts(Shortcuts::Context& context, const std::weak_ptr<AppState>& appState,
                       const std::weak_ptr<PanelControlling>& panelController) {
    Shortcuts::HandlerRegistry& handlers = context.registry();
    const auto on = [&](const Declaration& d, Shortcuts::Handler action) {
        handlers.onKeyDown(context.declare(d.rawValue, initial(d)), std::move(action));
    };
    on(kTogglePlay, onState(appState, [](AppState& s) { s.togglePlayback(); }));
    on(kFaster,
       onState(appState, [](AppState& s) { s.setWpm(s.wpm.get() + ReadingRate::kStepWpm); }));
    on(kSlower,
       onState(appState, [](AppState& s) { s.setWpm(s.wpm.get() - ReadingRate::kStepWpm); }));
    on(kRestart, onState(appState, [](AppState& s) { s.restart(); }));
    on(kTogglePanel, [panelController] {
        if (auto panel = panelController.lock()) panel->toggle();
    });
    on(kPreviousBookmark, onState(appState, [](AppState& s) { s.jumpToPreviousBookmark(); }));
    on(kNextBookmark, onState(appState, [](AppState& s) { s.jumpToNextBookmark(); }));
}

}  // namespace vorela::GlobalShortcuts
