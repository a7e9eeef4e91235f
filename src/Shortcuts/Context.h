#pragma once

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "Platform/Foundation/LifetimeGuard.h"
#include "Shortcuts/HandlerRegistry.h"
#include "Shortcuts/HotKeyCenter.h"
#include "Shortcuts/MenuItem.h"
#include "Shortcuts/Name.h"
#include "Shortcuts/ShortcutStore.h"

namespace vorela {
class HotKeyRegistrar;
class KeyboardLayout;
class NotificationCenter;
class RunLoop;
class UserDefaults;
}  // namespace vorela

namespace vorela::Shortcuts {

// All state of the global-shortcut subsystem: the store of named shortcuts, the handler
// registry and the hot-key centre, over the platform's run loop, defaults, notifications,
// hot keys and keyboard. The application makes one and installs it for the facade
// (Shortcuts.h); tests build fresh ones. The dependencies must outlive the context.
// Main thread only.
class Context {
public:
    struct Environment {
        RunLoop& loop;
        std::shared_ptr<UserDefaults> defaults;
        NotificationCenter& notifications;
        HotKeyRegistrar& registrar;
        const KeyboardLayout& keyboard;
    };

    explicit Context(const Environment& environment);
    ~Context();
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;
    Context(Context&&) = delete;
    Context& operator=(Context&&) = delete;

    // The context the facade uses; destroying it uninstalls it.
    static Context* current();
    void makeCurrent();

    RunLoop& loop() const { return loop_; }
    const KeyboardLayout& keyboardLayout() const { return keyboard_; }
    NotificationCenter& notifications() const { return notifications_; }

    // The application's main menu for the recorder's conflict check; held weakly, so a
    // menu that goes counts as no menu.
    void setMainMenu(std::weak_ptr<const MainMenu> menu) { mainMenu_ = std::move(menu); }
    std::vector<MenuItem> mainMenuItems() const;
    ShortcutStore& store() { return store_; }
    HandlerRegistry& registry() { return *registry_; }
    HotKeyCenter& hotKeyCenter() { return *center_; }

    // Name.init(_:initial:): stores the initial shortcut when nothing is stored, then marks
    // the subsystem initialised from a main-thread task.
    Name declare(std::string rawValue, std::optional<Shortcut> initial);
    bool isInitialized() const { return isInitialized_; }

    std::optional<Shortcut> getShortcut(const Name& name) const { return store_.shortcut(name); }
    // The stored shortcut while it works: none when nothing is stored or when the system
    // holds the keys (the X server refused them to us, or the desktop binds them).
    std::optional<Shortcut> workingShortcut(const Name& name) const;
    // A shortcut is stored; none stores the false marker for a name with an initial
    // shortcut (so the default does not come back) and removes the key otherwise.
    void setShortcut(std::optional<Shortcut> shortcut, const Name& name);
    // Writes each name's initial shortcut again (notifying even when unchanged), or
    // removes the value of a name without one.
    void reset(const std::vector<Name>& names);
    // Removes every stored value, false markers and defaults included.
    void resetAll();
    std::set<Name> storedNames() const { return store_.storedNames(); }

private:
    void userDefaultsSet(const Name& name, const Shortcut& shortcut);
    void userDefaultsDisable(const Name& name);
    void userDefaultsRemove(const Name& name);
    void releaseOldHotKey(const Name& name);

    RunLoop& loop_;
    const KeyboardLayout& keyboard_;
    NotificationCenter& notifications_;
    std::weak_ptr<const MainMenu> mainMenu_;
    ShortcutStore store_;
    std::shared_ptr<HotKeyCenter> center_;
    std::unique_ptr<HandlerRegistry> registry_;
    bool isInitialized_ = false;
    LifetimeGuard guard_;  // last
};

}  // namespace vorela::Shortcuts
