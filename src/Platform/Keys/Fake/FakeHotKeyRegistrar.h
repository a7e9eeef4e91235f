#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "Platform/Keys/HotKeyRegistrar.h"

namespace vorela {

// A hot-key service you can steer: it keeps registrations like the real one and delivers
// events synchronously, on the calling (main) thread, from the test controls below.
class FakeHotKeyRegistrar final : public HotKeyRegistrar {
public:
    FakeHotKeyRegistrar() = default;
    ~FakeHotKeyRegistrar() override = default;
    FakeHotKeyRegistrar(const FakeHotKeyRegistrar&) = delete;
    FakeHotKeyRegistrar& operator=(const FakeHotKeyRegistrar&) = delete;
    FakeHotKeyRegistrar(FakeHotKeyRegistrar&&) = delete;
    FakeHotKeyRegistrar& operator=(FakeHotKeyRegistrar&&) = delete;

    HotKeyRegistration registerHotKey(std::uint32_t carbonKeyCode, std::uint32_t carbonModifiers,
                                      HotKeyIdentifier identifier) override;
    void unregisterHotKey(HotKeyRegistrationHandle handle) override;
    bool installEventHandler(HotKeyHandler onHotKey, RawKeyHandler onRawKey) override;
    void setRawKeyEventsEnabled(bool isEnabled) override { rawKeyEventsEnabled_ = isEnabled; }
    bool isKeyDown(std::uint32_t carbonKeyCode) const override;
    std::vector<std::pair<int, int>> systemShortcuts() const override;

    // --- test controls ---
    // Another program holds these keys: registering them is refused.
    void holdByAnotherProgram(std::uint32_t keyCode, std::uint32_t modifiers);
    void releaseFromAnotherProgram(std::uint32_t keyCode, std::uint32_t modifiers);
    void failEventHandlerInstall(bool fails) { failsEventHandlerInstall_ = fails; }

    // The user presses or releases the keys. With a registration for them a hot-key event
    // goes to the handler; while raw key events are enabled the key event goes to the raw
    // handler instead. Returns what the handler answered (notHandled when nothing ran).
    HotKeyEventResult press(std::uint32_t keyCode, std::uint32_t modifiers);
    HotKeyEventResult release(std::uint32_t keyCode, std::uint32_t modifiers);
    // An auto-repeated key-down (seen only by the raw handler, as on the real service).
    HotKeyEventResult repeat(std::uint32_t keyCode, std::uint32_t modifiers);
    // The key goes up but no event reaches us (focus moved, a grab took over).
    void loseKeyUp(std::uint32_t keyCode) { keysDown_.erase(keyCode); }
    // Sends an arbitrary hot-key event, as the system might.
    HotKeyEventResult sendHotKeyEvent(HotKeyIdentifier identifier, HotKeyEventKind kind);

    bool isRegistered(std::uint32_t keyCode, std::uint32_t modifiers) const;
    std::size_t registrationCount() const { return registrations_.size(); }
    std::optional<HotKeyIdentifier> identifierFor(std::uint32_t keyCode,
                                                  std::uint32_t modifiers) const;
    bool hasEventHandler() const { return static_cast<bool>(onHotKey_); }
    bool areRawKeyEventsEnabled() const { return rawKeyEventsEnabled_; }
    int registerCallCount() const { return registerCallCount_; }

private:
    struct Registration {
        std::uint32_t keyCode = 0;
        std::uint32_t modifiers = 0;
        HotKeyIdentifier identifier;
    };

    HotKeyEventResult deliver(std::uint32_t keyCode, std::uint32_t modifiers, bool isKeyDown,
                              bool isRepeat);

    std::map<HotKeyRegistrationHandle, Registration> registrations_;
    std::set<std::pair<std::uint32_t, std::uint32_t>> heldElsewhere_;
    std::set<std::pair<std::uint32_t, std::uint32_t>> refused_;
    std::set<std::uint32_t> keysDown_;
    HotKeyHandler onHotKey_;
    RawKeyHandler onRawKey_;
    HotKeyRegistrationHandle lastHandle_ = 0;
    bool rawKeyEventsEnabled_ = false;
    bool failsEventHandlerInstall_ = false;
    int registerCallCount_ = 0;
};

}  // namespace vorela
