#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "Platform/Keys/HotKeyRegistrar.h"

namespace vorela {
class LoopLink;
}

namespace vorela::Shortcuts {

class HotKeyCenter;

// One system-wide hot key: a key code, Carbon modifier bits and the callbacks its events
// run. The handler registry owns it (one per shortcut in use); the centre only refers to
// it weakly. Its last release unregisters it: at once on the main thread, or through a
// main-thread task when released elsewhere.
class HotKey {
public:
    using Callback = std::function<void()>;

    // Takes the centre's next identifier (1 for the first, never reused); registers nothing.
    HotKey(const std::shared_ptr<HotKeyCenter>& center, int carbonKeyCode, int carbonModifiers,
           Callback onKeyDown, Callback onKeyUp);
    ~HotKey();
    HotKey(const HotKey&) = delete;
    HotKey& operator=(const HotKey&) = delete;
    HotKey(HotKey&&) = delete;
    HotKey& operator=(HotKey&&) = delete;

    int carbonKeyCode() const { return carbonKeyCode_; }
    int carbonModifiers() const { return carbonModifiers_; }
    int id() const { return id_; }
    const Callback& onKeyDown() const { return onKeyDown_; }
    const Callback& onKeyUp() const { return onKeyUp_; }
    const Callback& onRegistrationFailed() const { return onRegistrationFailed_; }
    // Run when a later re-registration fails (after which the centre forgets the hot key).
    void setOnRegistrationFailed(Callback callback) { onRegistrationFailed_ = std::move(callback); }
    // Present exactly while the hot key is registered with the system.
    const std::optional<HotKeyRegistrationHandle>& eventHotKeyRef() const {
        return eventHotKeyRef_;
    }

private:
    friend class HotKeyCenter;

    int carbonKeyCode_ = 0;
    int carbonModifiers_ = 0;
    Callback onKeyDown_;
    Callback onKeyUp_;
    Callback onRegistrationFailed_;
    int id_ = 0;
    std::optional<HotKeyRegistrationHandle> eventHotKeyRef_;
    std::weak_ptr<HotKeyCenter> center_;
    // Reaches the main thread for a release elsewhere; cut when the centre goes.
    std::shared_ptr<LoopLink> loop_;
};

}  // namespace vorela::Shortcuts
