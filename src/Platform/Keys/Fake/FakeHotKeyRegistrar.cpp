#include "Platform/Keys/Fake/FakeHotKeyRegistrar.h"

namespace vorela {
namespace {

// Command, Shift, Option, Control and Function: the Carbon bits a platform can tell apart.
std::uint32_t platformModifiers(std::uint32_t carbon) { return carbon & 0x21B00; }

}  // namespace

HotKeyRegistration FakeHotKeyRegistrar::registerHotKey(std::uint32_t carbonKeyCode,
                                                       std::uint32_t carbonModifiers,
                                                       HotKeyIdentifier identifier) {
    ++registerCallCount_;
    if (heldElsewhere_.contains({carbonKeyCode, carbonModifiers})) {
        refused_.insert({carbonKeyCode, carbonModifiers});
        return {0, HotKeyRegistrationError::refused};
    }
    const HotKeyRegistrationHandle handle = ++lastHandle_;
    registrations_[handle] = Registration{carbonKeyCode, carbonModifiers, identifier};
    return {handle, std::nullopt};
}

void FakeHotKeyRegistrar::unregisterHotKey(HotKeyRegistrationHandle handle) {
    registrations_.erase(handle);
}

bool FakeHotKeyRegistrar::installEventHandler(HotKeyHandler onHotKey, RawKeyHandler onRawKey) {
    if (failsEventHandlerInstall_) return false;
    onHotKey_ = std::move(onHotKey);
    onRawKey_ = std::move(onRawKey);
    return true;
}

bool FakeHotKeyRegistrar::isKeyDown(std::uint32_t carbonKeyCode) const {
    return keysDown_.contains(carbonKeyCode);
}

std::vector<std::pair<int, int>> FakeHotKeyRegistrar::systemShortcuts() const {
    std::vector<std::pair<int, int>> list;
    for (const auto& [keyCode, modifiers] : refused_) {
        list.emplace_back(static_cast<int>(keyCode), static_cast<int>(modifiers));
    }
    return list;
}

void FakeHotKeyRegistrar::holdByAnotherProgram(std::uint32_t keyCode, std::uint32_t modifiers) {
    heldElsewhere_.insert({keyCode, modifiers});
}

void FakeHotKeyRegistrar::releaseFromAnotherProgram(std::uint32_t keyCode,
                                                    std::uint32_t modifiers) {
    heldElsewhere_.erase({keyCode, modifiers});
}

HotKeyEventResult FakeHotKeyRegistrar::press(std::uint32_t keyCode, std::uint32_t modifiers) {
    keysDown_.insert(keyCode);
    return deliver(keyCode, modifiers, true, false);
}

HotKeyEventResult FakeHotKeyRegistrar::release(std::uint32_t keyCode, std::uint32_t modifiers) {
    keysDown_.erase(keyCode);
    return deliver(keyCode, modifiers, false, false);
}

HotKeyEventResult FakeHotKeyRegistrar::repeat(std::uint32_t keyCode, std::uint32_t modifiers) {
    keysDown_.insert(keyCode);
    if (!rawKeyEventsEnabled_ || !onRawKey_) return HotKeyEventResult::notHandled;
    return onRawKey_(RawKeyEvent{keyCode, modifiers, true, true});
}

HotKeyEventResult FakeHotKeyRegistrar::deliver(std::uint32_t keyCode, std::uint32_t modifiers,
                                               bool isKeyDown, bool isRepeat) {
    if (rawKeyEventsEnabled_) {
        if (!onRawKey_) return HotKeyEventResult::notHandled;
        return onRawKey_(RawKeyEvent{keyCode, modifiers, isKeyDown, isRepeat});
    }
    // Like the real service, registrations of the same keys all hear the event; bits the
    // platform has no modifier for do not tell keys apart.
    std::vector<HotKeyIdentifier> identifiers;
    for (const auto& [handle, registration] : registrations_) {
        if (registration.keyCode == keyCode &&
            platformModifiers(registration.modifiers) == platformModifiers(modifiers)) {
            identifiers.push_back(registration.identifier);
        }
    }
    if (identifiers.empty() || !onHotKey_) return HotKeyEventResult::notHandled;
    const HotKeyHandler handler = onHotKey_;
    const auto kind = isKeyDown ? HotKeyEventKind::pressed : HotKeyEventKind::released;
    auto result = HotKeyEventResult::notHandled;
    for (const auto& identifier : identifiers) {
        if (handler(identifier, kind) == HotKeyEventResult::handled) {
            result = HotKeyEventResult::handled;
        }
    }
    return result;
}

HotKeyEventResult FakeHotKeyRegistrar::sendHotKeyEvent(HotKeyIdentifier identifier,
                                                       HotKeyEventKind kind) {
    if (!onHotKey_) return HotKeyEventResult::notHandled;
    return onHotKey_(identifier, kind);
}

bool FakeHotKeyRegistrar::isRegistered(std::uint32_t keyCode, std::uint32_t modifiers) const {
    return identifierFor(keyCode, modifiers).has_value();
}

std::optional<HotKeyIdentifier> FakeHotKeyRegistrar::identifierFor(std::uint32_t keyCode,
                                                                   std::uint32_t modifiers) const {
    for (const auto& [handle, registration] : registrations_) {
        if (registration.keyCode == keyCode && registration.modifiers == modifiers) {
            return registration.identifier;
        }
    }
    return std::nullopt;
}

}  // namespace vorela
