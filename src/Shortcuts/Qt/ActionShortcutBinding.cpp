#include "Shortcuts/Qt/ActionShortcutBinding.h"

#include <QAction>
#include <QKeySequence>
#include <QPointer>

#include "Platform/Observation/Subscription.h"
#include "Shortcuts/Context.h"
#include "Shortcuts/Qt/QtKeys.h"
#include "Shortcuts/RecorderStatus.h"
#include "Shortcuts/ShortcutStore.h"
#include "Shortcuts/Shortcuts.h"

namespace vorela::Shortcuts {
namespace {

constexpr const char* kBindingName = "vorelaShortcutBinding";
constexpr const char* kInWindowName = "vorelaInWindowShortcut";

// What a binding keeps on its action: a child object, so it goes with the action and its
// observations end with it.
class ActionState final : public QObject {
public:
    ActionState(Context& context, QAction& action, const char* name)
        : QObject(&action), context(context) {
        setObjectName(name);
    }

    Context& context;
    std::optional<QKeySequence> fallback;
    std::optional<Name> name;
    bool isRecorderActive = false;
    Subscription nameObserver;
    Subscription recorderObserver;
};

ActionState* stateOf(const QAction& action, const char* name) {
    return dynamic_cast<ActionState*>(action.findChild<QObject*>(name, Qt::FindDirectChildrenOnly));
}

QKeySequence storedSequence(const Context& context, const Name& name) {
    const auto shortcut = context.getShortcut(name);
    if (!shortcut) return {};
    return keySequenceFor(*shortcut, &context.keyboardLayout());
}

void refreshBound(QAction& action, const ActionState& state) {
    const QKeySequence stored = storedSequence(state.context, *state.name);
    if (!stored.isEmpty() || state.context.getShortcut(*state.name)) {
        action.setShortcut(stored);
    } else {
        action.setShortcut(state.fallback.value_or(QKeySequence()));
    }
}

void refreshInWindow(QAction& action, const ActionState& state) {
    action.setShortcut(state.isRecorderActive ? QKeySequence()
                                              : storedSequence(state.context, *state.name));
}

Subscription observeName(Context& context, QAction& action, const Name& name,
                         void (*refresh)(QAction&, const ActionState&), const char* stateName) {
    QPointer<QAction> weak(&action);
    return context.notifications().observe(
        kShortcutByNameDidChange, [weak, name, refresh, stateName](const Notification& n) {
            const auto changed = shortcutsName(n);
            if (!weak || !changed || changed->rawValue() != name.rawValue()) return;
            if (const ActionState* state = stateOf(*weak, stateName)) refresh(*weak, *state);
        });
}

}  // namespace

void setShortcut(Context& context, QAction& action, const std::optional<Name>& name) {
    ActionState* state = stateOf(action, kBindingName);
    if (!name) {
        action.setShortcut(state && state->fallback ? *state->fallback : QKeySequence());
        delete state;
        return;
    }
    if (!state) {
        state = new ActionState(context, action, kBindingName);
        state->fallback = action.shortcut();
    }
    state->nameObserver.cancel();
    state->name = *name;
    refreshBound(action, *state);
    state->nameObserver = observeName(context, action, *name, refreshBound, kBindingName);
}

void setShortcut(const Context& context, QAction& action, const std::optional<Shortcut>& shortcut) {
    delete stateOf(action, kBindingName);
    action.setShortcut(shortcut ? keySequenceFor(*shortcut, &context.keyboardLayout())
                                : QKeySequence());
}

std::optional<std::string> boundName(const QAction& action) {
    const ActionState* state = stateOf(action, kBindingName);
    if (!state || !state->name) return std::nullopt;
    return state->name->rawValue();
}

void globalKeyboardShortcut(Context& context, QAction& action, const Name& name) {
    delete stateOf(action, kInWindowName);
    auto* state = new ActionState(context, action, kInWindowName);
    state->name = name;
    refreshInWindow(action, *state);
    state->nameObserver = observeName(context, action, name, refreshInWindow, kInWindowName);
    QPointer<QAction> weak(&action);
    state->recorderObserver = context.notifications().observe(
        kRecorderActiveStatusDidChange, [weak](const Notification& n) {
            if (!weak) return;
            ActionState* s = stateOf(*weak, kInWindowName);
            if (!s) return;
            s->isRecorderActive = recorderIsActive(n);
            refreshInWindow(*weak, *s);
        });
}

}  // namespace vorela::Shortcuts
