#include "Shortcuts/Context.h"

#include "Platform/Loop/RunLoop.h"
#include "Shortcuts/ConflictChecks.h"

namespace vorela::Shortcuts {
namespace {

// A plain pointer: nothing to destroy at exit, and the context clears it when it goes.
Context* gCurrent = nullptr;

}  // namespace

Context::Context(const Environment& environment)
    : loop_(environment.loop),
      keyboard_(environment.keyboard),
      notifications_(environment.notifications),
      store_(environment.defaults, environment.notifications),
      center_(
          HotKeyCenter::create(environment.loop, environment.registrar, environment.notifications)),
      registry_(std::make_unique<HandlerRegistry>(environment.loop, store_, center_,
                                                  environment.keyboard)) {}

Context::~Context() {
    if (gCurrent == this) gCurrent = nullptr;
    // Hot keys go first, while the centre can still unregister them.
    registry_.reset();
}

Context* Context::current() { return gCurrent; }

std::vector<MenuItem> Context::mainMenuItems() const {
    const auto menu = mainMenu_.lock();
    return menu ? menu->items() : std::vector<MenuItem>{};
}

void Context::makeCurrent() { gCurrent = this; }

std::optional<Shortcut> Context::workingShortcut(const Name& name) const {
    auto shortcut = store_.shortcut(name);
    if (shortcut && isTakenBySystem(*shortcut, systemShortcuts(*center_))) return std::nullopt;
    return shortcut;
}

Name Context::declare(std::string rawValue, std::optional<Shortcut> initial) {
    if (initial) store_.setInitialShortcutIfNeeded(*initial, rawValue);
    loop_.post(guard_.bind([this] { isInitialized_ = true; }));
    return Name(std::move(rawValue), initial);
}

void Context::setShortcut(std::optional<Shortcut> shortcut, const Name& name) {
    if (shortcut) {
        userDefaultsSet(name, *shortcut);
    } else if (name.initialShortcut()) {
        userDefaultsDisable(name);
    } else {
        userDefaultsRemove(name);
    }
}

void Context::releaseOldHotKey(const Name& name) {
    if (const auto old = store_.shortcut(name); old && !registry_->isShortcutActive(*old, &name)) {
        registry_->removeHotKey(*old);
    }
}

void Context::userDefaultsSet(const Name& name, const Shortcut& shortcut) {
    const auto json = shortcut.encoded();
    if (!json) return;
    releaseOldHotKey(name);
    store_.writeEncodedShortcut(name, *json);
    registry_->registerIfNeeded(name);
    store_.postDidChange(name);
}

void Context::userDefaultsDisable(const Name& name) {
    if (const auto value = store_.userDefaultsValue(name)) {
        if (const bool* flag = value->boolean(); flag && !*flag) return;
    }
    releaseOldHotKey(name);
    store_.writeRemovedMarker(name);
    registry_->registerIfNeeded(name);
    store_.postDidChange(name);
}

void Context::userDefaultsRemove(const Name& name) {
    if (!store_.userDefaultsValue(name)) return;
    releaseOldHotKey(name);
    store_.removeValue(name);
    registry_->registerIfNeeded(name);
    store_.postDidChange(name);
}

void Context::reset(const std::vector<Name>& names) {
    for (const auto& name : names) {
        if (name.initialShortcut()) {
            userDefaultsSet(name, *name.initialShortcut());
        } else {
            userDefaultsRemove(name);
        }
    }
}

void Context::resetAll() {
    // Names built from keys carry no initial shortcut, so every one takes the removal path.
    for (const auto& name : store_.storedNames()) setShortcut(std::nullopt, name);
}

}  // namespace vorela::Shortcuts
