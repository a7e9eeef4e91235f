#include "Shortcuts/HotKeyCenter.h"

#include <limits>

#include "Platform/Foundation/Format.h"
#include "Platform/Log/Log.h"
#include "Platform/Loop/RunLoop.h"
#include "Platform/Observation/NotificationCenter.h"
#include "Shortcuts/HotKey.h"
#include "Shortcuts/Modifiers.h"

namespace vorela::Shortcuts {
namespace {

// Built per message: no static object to outlive.
Log log() { return Log("shortcuts"); }

bool fitsUnsigned32(long long value) {
    return value >= 0 && value <= std::numeric_limits<std::uint32_t>::max();
}

}  // namespace

std::shared_ptr<HotKeyCenter> HotKeyCenter::create(RunLoop& loop, HotKeyRegistrar& registrar,
                                                   NotificationCenter& notifications) {
    std::shared_ptr<HotKeyCenter> center(new HotKeyCenter(loop, registrar, notifications));
    center->setUpMenuTrackingObserversIfNeeded();
    return center;
}

HotKeyCenter::HotKeyCenter(RunLoop& loop, HotKeyRegistrar& registrar,
                           NotificationCenter& notifications)
    : loop_(loop), registrar_(registrar), notifications_(notifications) {}

HotKeyCenter::~HotKeyCenter() {
    // Hot keys that outlive the centre must not leave grabs behind.
    for (const auto& hotKey : hotKeys()) {
        if (hotKey->eventHotKeyRef_) registrar_.unregisterHotKey(*hotKey->eventHotKeyRef_);
        hotKey->eventHotKeyRef_.reset();
    }
}

bool HotKeyCenter::registerHotKey(const std::shared_ptr<HotKey>& hotKey) {
    const auto handle = registerEventHotKey(*hotKey);
    if (!handle) return false;
    hotKey->eventHotKeyRef_ = handle;
    hotKeys_[hotKey->id_] = hotKey;
    setUpEventHandlerIfNeeded();
    if (!hasEventHandler_) return true;
    applyMode();
    return true;
}

std::optional<HotKeyRegistrationHandle> HotKeyCenter::registerEventHotKey(const HotKey& hotKey) {
    // The platform takes unsigned 32-bit values; a hand-edited store may hold anything.
    if (!fitsUnsigned32(hotKey.carbonKeyCode_) || !fitsUnsigned32(hotKey.carbonModifiers_) ||
        !fitsUnsigned32(hotKey.id_)) {
        log().error(
            format("Atajo global no registrado: valores fuera de rango (tecla %d, "
                   "modificadores %d)",
                   hotKey.carbonKeyCode_, hotKey.carbonModifiers_));
        return std::nullopt;
    }
    const auto registration = registrar_.registerHotKey(
        static_cast<std::uint32_t>(hotKey.carbonKeyCode_),
        static_cast<std::uint32_t>(hotKey.carbonModifiers_),
        HotKeyIdentifier{kSignature, static_cast<std::uint32_t>(hotKey.id_)});
    if (!registration.isRegistered()) return std::nullopt;
    return registration.handle;
}

void HotKeyCenter::tearDown(int id, std::optional<HotKeyRegistrationHandle> handle) {
    if (handle) registrar_.unregisterHotKey(*handle);
    hotKeys_.erase(id);
}

void HotKeyCenter::updateMode() {
    Mode mode = Mode::normal;
    if (!isEnabled_ || isPaused_) {
        mode = Mode::disabled;
    } else if (isMenuOpen_) {
        mode = Mode::menuOpen;
    }
    if (mode == mode_) return;
    mode_ = mode;
    if (hasEventHandler_) applyMode();
}

void HotKeyCenter::applyMode() {
    if (mode_ != Mode::normal) {
        pauseAllHotKeys();
    } else {
        resumeAllHotKeys();
    }
    setHotKeyEventHandlingEnabled(mode_ == Mode::normal);
    setRawKeyEventHandlingEnabled(mode_ == Mode::menuOpen);
}

std::vector<std::shared_ptr<HotKey>> HotKeyCenter::hotKeys() const {
    std::vector<std::shared_ptr<HotKey>> live;
    for (const auto& [id, weak] : hotKeys_) {
        if (auto hotKey = weak.lock()) live.push_back(std::move(hotKey));
    }
    return live;
}

void HotKeyCenter::pauseAllHotKeys() {
    for (const auto& hotKey : hotKeys()) {
        if (!hotKey->eventHotKeyRef_) continue;
        registrar_.unregisterHotKey(*hotKey->eventHotKeyRef_);
        hotKey->eventHotKeyRef_.reset();
    }
}

void HotKeyCenter::resumeAllHotKeys() {
    // The snapshot keeps each hot key alive while its failure callback lets the registry
    // forget it.
    for (const auto& hotKey : hotKeys()) {
        if (hotKey->eventHotKeyRef_) continue;
        if (const auto handle = registerEventHotKey(*hotKey)) {
            hotKey->eventHotKeyRef_ = handle;
            continue;
        }
        hotKeys_.erase(hotKey->id_);
        if (const auto failed = hotKey->onRegistrationFailed_) failed();
    }
}

void HotKeyCenter::setUpEventHandlerIfNeeded() {
    if (hasEventHandler_) return;
    std::weak_ptr<HotKeyCenter> weak = weak_from_this();
    const bool installed = registrar_.installEventHandler(
        [weak](HotKeyIdentifier identifier, HotKeyEventKind kind) {
            const auto center = weak.lock();
            return center ? center->handleHotKeyEvent(identifier, kind)
                          : HotKeyEventResult::notHandled;
        },
        [weak](const RawKeyEvent& event) {
            const auto center = weak.lock();
            if (!center) return HotKeyEventResult::notHandled;
            return center->handleRawKeyEvent(static_cast<int>(event.carbonKeyCode),
                                             static_cast<int>(event.carbonModifiers),
                                             event.isRepeat, event.isKeyDown);
        });
    if (!installed) {
        log().error("No se pudo instalar el receptor de atajos globales");
        return;
    }
    hasEventHandler_ = true;
    applyMode();
}

void HotKeyCenter::setHotKeyEventHandlingEnabled(bool isEnabled) {
    isHotKeyEventHandlingEnabled_ = isEnabled;
}

void HotKeyCenter::setRawKeyEventHandlingEnabled(bool isEnabled) {
    if (isEnabled == isRawKeyEventHandlingEnabled_) return;
    isRawKeyEventHandlingEnabled_ = isEnabled;
    registrar_.setRawKeyEventsEnabled(isEnabled);
}

void HotKeyCenter::setUpMenuTrackingObserversIfNeeded() {
    if (openMenuObserver_.isActive() || closeMenuObserver_.isActive()) return;
    std::weak_ptr<HotKeyCenter> weak = weak_from_this();
    // The notification centre hands notifications posted elsewhere to the main thread.
    openMenuObserver_ =
        notifications_.observe(kMenuDidBeginTrackingNotification, [weak](const Notification&) {
            if (auto c = weak.lock()) c->setMenuOpen(true);
        });
    closeMenuObserver_ =
        notifications_.observe(kMenuDidEndTrackingNotification, [weak](const Notification&) {
            if (auto c = weak.lock()) c->setMenuOpen(false);
        });
}

void HotKeyCenter::setMenuOpen(bool isOpen) {
    if (isMenuOpen_ == isOpen) return;
    isMenuOpen_ = isOpen;
    updateMode();
}

std::shared_ptr<HotKey> HotKeyCenter::liveHotKey(int id) const {
    const auto it = hotKeys_.find(id);
    return it == hotKeys_.end() ? nullptr : it->second.lock();
}

std::vector<std::pair<int, int>> HotKeyCenter::systemShortcuts() const {
    return registrar_.systemShortcuts();
}

bool HotKeyCenter::isKeyDown(int carbonKeyCode) const {
    if (!fitsUnsigned32(carbonKeyCode)) return false;
    return registrar_.isKeyDown(static_cast<std::uint32_t>(carbonKeyCode));
}

HotKeyEventResult HotKeyCenter::handleHotKeyEvent(HotKeyIdentifier identifier,
                                                  HotKeyEventKind kind) {
    if (!loop_.isMainThread()) return HotKeyEventResult::notHandled;
    if (!isHotKeyEventHandlingEnabled_) return HotKeyEventResult::notHandled;
    if (identifier.signature != kSignature) return HotKeyEventResult::notHandled;
    if (identifier.id > static_cast<std::uint32_t>(std::numeric_limits<int>::max())) {
        return HotKeyEventResult::notHandled;
    }
    // Holding the hot key keeps it and its callbacks alive while a handler releases it
    // (a handler that clears its own shortcut).
    const auto hotKey = liveHotKey(static_cast<int>(identifier.id));
    if (!hotKey) return HotKeyEventResult::notHandled;
    const HotKey::Callback callback =
        kind == HotKeyEventKind::pressed ? hotKey->onKeyDown_ : hotKey->onKeyUp_;
    if (callback) callback();
    return HotKeyEventResult::handled;
}

HotKeyEventResult HotKeyCenter::handleRawKeyEvent(int keyCode, int modifiers, bool isRepeat,
                                                  bool isKeyDown) {
    if (!loop_.isMainThread()) return HotKeyEventResult::notHandled;
    if (!isRawKeyEventHandlingEnabled_) return HotKeyEventResult::notHandled;
    // A held key fires once, not on every repeat.
    if (isKeyDown && isRepeat) return HotKeyEventResult::notHandled;
    const int normalized = normalizedCarbonModifiers(modifiers);
    for (const auto& hotKey : hotKeys()) {
        if (hotKey->carbonKeyCode_ != keyCode) continue;
        if (normalizedCarbonModifiers(hotKey->carbonModifiers_) != normalized) continue;
        const HotKey::Callback callback = isKeyDown ? hotKey->onKeyDown_ : hotKey->onKeyUp_;
        if (callback) callback();
        return HotKeyEventResult::handled;
    }
    return HotKeyEventResult::notHandled;
}

}  // namespace vorela::Shortcuts
