#pragma once

#include <memory>
#include <vector>

#include "Platform/Defaults/UserDefaults.h"
#include "Platform/Keys/Fake/FakeHotKeyRegistrar.h"
#include "Platform/Keys/Fake/FakeKeyboardLayout.h"
#include "Platform/Loop/Fake/ManualRunLoop.h"
#include "Platform/Observation/NotificationCenter.h"
#include "Shortcuts/Context.h"
#include "Shortcuts/Shortcuts.h"

namespace vorela::Shortcuts {

// A fresh shortcut subsystem on fakes, installed for the facade. restart() drops the
// context and builds a new one on the same defaults, as a relaunch would.
struct ShortcutsEnvironment {
    ManualRunLoop loop;
    std::shared_ptr<UserDefaults> defaults = UserDefaults::inMemory();
    NotificationCenter notifications{loop};
    FakeHotKeyRegistrar registrar;
    FakeKeyboardLayout keyboard;
    std::unique_ptr<Context> context;

    ShortcutsEnvironment() { start(); }

    void start() {
        context = std::make_unique<Context>(
            Context::Environment{loop, defaults, notifications, registrar, keyboard});
        context->makeCurrent();
    }
    void restart() {
        context.reset();
        start();
    }

    HandlerRegistry& registry() { return context->registry(); }
    HotKeyCenter& center() { return context->hotKeyCenter(); }

    // The user presses and releases the keys once.
    void tap(const Shortcut& s) {
        registrar.press(static_cast<std::uint32_t>(s.carbonKeyCode),
                        static_cast<std::uint32_t>(s.carbonModifiers));
        registrar.release(static_cast<std::uint32_t>(s.carbonKeyCode),
                          static_cast<std::uint32_t>(s.carbonModifiers));
    }
    bool isRegistered(const Shortcut& s) const {
        return registrar.isRegistered(static_cast<std::uint32_t>(s.carbonKeyCode),
                                      static_cast<std::uint32_t>(s.carbonModifiers));
    }
};

inline const Shortcut kOptionSpace{Key::space, ModifierFlags::option};
inline const Shortcut kOptionR{Key::r, ModifierFlags::option};
inline const Shortcut kOptionP{Key::p, ModifierFlags::option};

}  // namespace vorela::Shortcuts
