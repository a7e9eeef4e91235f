#include "Shortcuts/HandlerRegistry.h"

#include <algorithm>
#include <type_traits>

#include "Platform/Keys/KeyboardLayout.h"
#include "Platform/Loop/RunLoop.h"
#include "Shortcuts/HotKey.h"
#include "Shortcuts/HotKeyCenter.h"
#include "Shortcuts/ShortcutStore.h"

namespace vorela::Shortcuts {
namespace {

// The keys a hot key is made for: only the five modifiers the platform knows take part, so
// stored bits it does not know never make a second hot key for the same keys.
Shortcut hotKeyKeys(const Shortcut& shortcut) {
    return Shortcut(shortcut.carbonKeyCode, shortcut.carbonModifiers);
}

template <class Table>
bool hasNonEmpty(const Table& table, const Name& name) {
    const auto* entry = table.find(name);
    return entry && !entry->empty();
}

}  // namespace

HandlerRegistry::HandlerRegistry(RunLoop& loop, ShortcutStore& store,
                                 std::shared_ptr<HotKeyCenter> center,
                                 const KeyboardLayout& keyboard)
    : loop_(loop), store_(store), center_(std::move(center)), keyboard_(keyboard) {}

HandlerRegistry::~HandlerRegistry() = default;

void HandlerRegistry::onKeyDown(const Name& name, Handler handler) {
    keyDownHandlers_[name].push_back(std::move(handler));
    registerIfNeeded(name);
}

void HandlerRegistry::onKeyUp(const Name& name, Handler handler) {
    keyUpHandlers_[name].push_back(std::move(handler));
    registerIfNeeded(name);
}

void HandlerRegistry::removeHandler(const Name& name) {
    keyDownHandlers_.erase(name);
    keyUpHandlers_.erase(name);
    if (!isDisabled(name) &&
        (hasNonEmpty(streamKeyDownHandlers_, name) || hasNonEmpty(streamKeyUpHandlers_, name))) {
        return;
    }
    releaseIfUnused(keysOf(name), &name);
}

void HandlerRegistry::removeAllHandlers() {
    std::vector<Shortcut> shortcuts;
    for (const auto* table : {&keyDownHandlers_, &keyUpHandlers_}) {
        for (const auto& [name, handlers] : *table) {
            if (const auto shortcut = keysOf(name)) shortcuts.push_back(*shortcut);
        }
    }
    keyDownHandlers_.clear();
    keyUpHandlers_.clear();
    for (const auto& shortcut : shortcuts) releaseIfUnused(shortcut, nullptr);
}

void HandlerRegistry::disable(const std::vector<Name>& names) {
    for (const auto& name : names) {
        disabledNames_.insert(name);
        releaseIfUnused(keysOf(name), &name);
    }
}

void HandlerRegistry::enable(const std::vector<Name>& names) {
    for (const auto& name : names) {
        disabledNames_.erase(name);
        registerIfNeeded(name);
    }
}

void HandlerRegistry::setEnabled(bool isEnabled) {
    if (isEnabled == isEnabled_) return;
    isEnabled_ = isEnabled;
    if (center_->isEnabled() == isEnabled) return;
    center_->setEnabled(isEnabled);
    center_->updateMode();
}

bool HandlerRegistry::isEnabled(const Name& name) const {
    if (!isEnabled_ || !hasActiveHandlers(name)) return false;
    const auto shortcut = keysOf(name);
    return shortcut && hasHotKey(*shortcut);
}

Subscription HandlerRegistry::pause() {
    if (++pauseCount_ == 1) setPaused(true);
    return Subscription(guard_.bind([this] {
        if (--pauseCount_ == 0) setPaused(false);
    }));
}

void HandlerRegistry::setPaused(bool isPaused) {
    center_->setPaused(isPaused);
    center_->updateMode();
}

std::optional<Shortcut> HandlerRegistry::keysOf(const Name& name) const {
    const auto stored = store_.shortcut(name);
    return stored ? std::optional(hotKeyKeys(*stored)) : std::nullopt;
}

bool HandlerRegistry::hasHotKey(const Shortcut& shortcut) const {
    return hotKeys_.contains(hotKeyKeys(shortcut));
}

void HandlerRegistry::registerIfNeeded(const Shortcut& stored) {
    const Shortcut shortcut = hotKeyKeys(stored);
    if (hotKeys_.contains(shortcut)) return;
    auto hotKey = std::make_shared<HotKey>(
        center_, shortcut.carbonKeyCode, shortcut.carbonModifiers,
        guard_.bind([this, shortcut] { handleKeyEvent(EventType::keyDown, shortcut); }),
        guard_.bind([this, shortcut] { handleKeyEvent(EventType::keyUp, shortcut); }));
    if (!center_->registerHotKey(hotKey)) return;
    std::weak_ptr<HotKey> weakHotKey = hotKey;
    hotKey->setOnRegistrationFailed(guard_.bind([this, weakHotKey, shortcut] {
        const auto failed = weakHotKey.lock();
        if (!failed) return;
        const auto it = hotKeys_.find(shortcut);
        if (it != hotKeys_.end() && it->second == failed) hotKeys_.erase(it);
    }));
    hotKeys_.emplace(shortcut, std::move(hotKey));
}

void HandlerRegistry::registerIfNeeded(const Name& name) {
    if (isDisabled(name) || !hasHandlers(name)) return;
    if (const auto shortcut = keysOf(name)) registerIfNeeded(*shortcut);
}

bool HandlerRegistry::hasHandlers(const Name& name) const {
    return hasNonEmpty(keyDownHandlers_, name) || hasNonEmpty(keyUpHandlers_, name) ||
           hasNonEmpty(streamKeyDownHandlers_, name) || hasNonEmpty(streamKeyUpHandlers_, name);
}

bool HandlerRegistry::hasActiveHandlers(const Name& name) const {
    return !isDisabled(name) && hasHandlers(name);
}

bool HandlerRegistry::hasHardCodedStreamHandlers(const Shortcut& shortcut) const {
    for (const auto* table : {&streamShortcutKeyDownHandlers_, &streamShortcutKeyUpHandlers_}) {
        const auto it = table->find(shortcut);
        if (it != table->end() && !it->second.empty()) return true;
    }
    return false;
}

std::vector<Name> HandlerRegistry::namesInTables() const {
    std::vector<Name> names;
    const auto add = [&names](const Name& name) {
        if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    };
    for (const auto& [name, handlers] : keyDownHandlers_) add(name);
    for (const auto& [name, handlers] : keyUpHandlers_) add(name);
    for (const auto& [name, handlers] : streamKeyDownHandlers_) add(name);
    for (const auto& [name, handlers] : streamKeyUpHandlers_) add(name);
    return names;
}

bool HandlerRegistry::isShortcutActive(const Shortcut& stored, const Name* excluding) const {
    const Shortcut shortcut = hotKeyKeys(stored);
    for (const auto& name : namesInTables()) {
        if (excluding && name == *excluding) continue;
        if (!hasActiveHandlers(name)) continue;
        if (keysOf(name) == shortcut) return true;
    }
    return hasHardCodedStreamHandlers(shortcut);
}

void HandlerRegistry::removeHotKey(const Shortcut& shortcut) {
    hotKeys_.erase(hotKeyKeys(shortcut));
}

void HandlerRegistry::releaseIfUnused(const std::optional<Shortcut>& shortcut,
                                      const Name* excluding) {
    if (shortcut && !isShortcutActive(*shortcut, excluding)) removeHotKey(*shortcut);
}

void HandlerRegistry::handleKeyEvent(EventType type, const Shortcut& shortcut) {
    if (isPaused()) return;
    const bool isDown = type == EventType::keyDown;
    // Read once: a handler that changes the tables takes effect from the next event.
    const auto handlers = isDown ? keyDownHandlers_ : keyUpHandlers_;
    const auto streams = isDown ? streamKeyDownHandlers_ : streamKeyUpHandlers_;
    const auto& shortcutTable =
        isDown ? streamShortcutKeyDownHandlers_ : streamShortcutKeyUpHandlers_;
    const auto it = shortcutTable.find(shortcut);
    const StreamHandlers shortcutStreams =
        it == shortcutTable.end() ? StreamHandlers{} : it->second;

    // A handler may end the application and this registry with it: everything after a
    // handler runs from the copies above, and only while the registry still exists.
    const auto watch = guard_.watch();
    const auto run = [&watch](const Handler& handler) {
        handler();
        return watch.isAlive();
    };
    for (const auto& [name, list] : handlers) {
        if (keysOf(name) != shortcut || isDisabled(name)) continue;
        for (const auto& handler : list) {
            if (!run(handler)) return;
        }
    }
    for (const auto& [name, table] : streams) {
        if (keysOf(name) != shortcut || isDisabled(name)) continue;
        for (const auto& [id, handler] : table) {
            if (!run(handler)) return;
        }
    }
    for (const auto& [id, handler] : shortcutStreams) {
        if (!run(handler)) return;
    }
}

template <class Key>
void HandlerRegistry::onStreamEnd(const AsyncStream<EventType>::Continuation& continuation, Key key,
                                  std::uint64_t id) {
    const auto watch = guard_.watch();
    // The end may be signalled anywhere, also after the registry is gone; the clean-up is
    // a main-thread task, posted through a link the registry cuts when it goes.
    continuation.onTermination([this, watch, link = loopLink_.link(), key, id] {
        link->post([this, watch, key, id] {
            auto* registry = (watch.isAlive() ? this : nullptr);
            if (!registry) return;
            if constexpr (std::is_same_v<Key, Name>) {
                registry->endNameStream(key, id);
            } else {
                registry->endShortcutStream(key, id);
            }
        });
    });
}

AsyncStream<EventType> HandlerRegistry::events(const Name& name) {
    auto made = AsyncStream<EventType>::make();
    AsyncStream<EventType> stream = std::move(made.first);
    const auto continuation = made.second;
    const std::uint64_t id = ++lastStreamId_;
    streamKeyDownHandlers_[name][id] = [continuation] { continuation.yield(EventType::keyDown); };
    streamKeyUpHandlers_[name][id] = [continuation] { continuation.yield(EventType::keyUp); };
    onStreamEnd(continuation, name, id);
    registerIfNeeded(name);
    return stream;
}

AsyncStream<EventType> HandlerRegistry::events(const Shortcut& keys) {
    const Shortcut shortcut = hotKeyKeys(keys);
    auto made = AsyncStream<EventType>::make();
    AsyncStream<EventType> stream = std::move(made.first);
    const auto continuation = made.second;
    const std::uint64_t id = ++lastStreamId_;
    streamShortcutKeyDownHandlers_[shortcut][id] = [continuation] {
        continuation.yield(EventType::keyDown);
    };
    streamShortcutKeyUpHandlers_[shortcut][id] = [continuation] {
        continuation.yield(EventType::keyUp);
    };
    onStreamEnd(continuation, shortcut, id);
    registerIfNeeded(shortcut);
    return stream;
}

void HandlerRegistry::endNameStream(const Name& name, std::uint64_t id) {
    for (auto* table : {&streamKeyDownHandlers_, &streamKeyUpHandlers_}) {
        if (auto* entries = table->find(name)) {
            entries->erase(id);
            if (entries->empty()) table->erase(name);
        }
    }
    releaseIfUnused(keysOf(name), nullptr);
}

void HandlerRegistry::endShortcutStream(const Shortcut& shortcut, std::uint64_t id) {
    for (auto* table : {&streamShortcutKeyDownHandlers_, &streamShortcutKeyUpHandlers_}) {
        const auto it = table->find(shortcut);
        if (it == table->end()) continue;
        it->second.erase(id);
        if (it->second.empty()) table->erase(it);
    }
    releaseIfUnused(shortcut, nullptr);
}

namespace {

AsyncStream<EventType> filtered(RunLoop& loop, AsyncStream<EventType> source, EventType type) {
    auto made = AsyncStream<EventType>::make();
    AsyncStream<EventType> stream = std::move(made.first);
    const auto continuation = made.second;
    auto reading = std::make_shared<Subscription>();
    *reading = source.forEach(
        loop,
        [continuation, type](EventType event) {
            if (event == type) continuation.yield(event);
        },
        [continuation] { continuation.finish(); });
    continuation.onTermination([reading] { reading->cancel(); });
    return stream;
}

}  // namespace

AsyncStream<EventType> HandlerRegistry::events(EventType type, const Name& name) {
    return filtered(loop_, events(name), type);
}

AsyncStream<EventType> HandlerRegistry::events(EventType type, const Shortcut& shortcut) {
    return filtered(loop_, events(shortcut), type);
}

AsyncStream<KeyRepeat> HandlerRegistry::repeatingKeyDownEvents(const Name& name) {
    auto heldShortcut = std::make_shared<std::optional<Shortcut>>();
    const auto watch = guard_.watch();
    auto didReceiveKeyDown = [this, watch, name, heldShortcut] {
        auto* registry = (watch.isAlive() ? this : nullptr);
        *heldShortcut = registry ? registry->keysOf(name) : std::nullopt;
    };
    auto shouldContinue = [this, watch, name, heldShortcut] {
        auto* r = (watch.isAlive() ? this : nullptr);
        if (!r || r->isPaused() || !r->isEnabled_ || !r->hasActiveHandlers(name)) return false;
        const auto shortcut = r->keysOf(name);
        if (!shortcut || !r->hasHotKey(*shortcut)) return false;
        if (*heldShortcut != shortcut) return false;
        // A key-up lost on the way (focus change, grab taken over) must not leave the
        // stream repeating forever: the key has to be down still.
        if (!r->center_->isKeyDown(shortcut->carbonKeyCode)) {
            heldShortcut->reset();
            return false;
        }
        return true;
    };
    return makeRepeatingKeyDownEvents(loop_, events(name), keyboard_.keyRepeatDelay(),
                                      keyboard_.keyRepeatInterval(), std::move(didReceiveKeyDown),
                                      std::move(shouldContinue));
}

AsyncStream<KeyRepeat> HandlerRegistry::repeatingKeyDownEvents(const Shortcut& keys) {
    const Shortcut shortcut = hotKeyKeys(keys);
    const auto watch = guard_.watch();
    auto shouldContinue = [this, watch, shortcut] {
        auto* r = (watch.isAlive() ? this : nullptr);
        if (!r || r->isPaused() || !r->isEnabled_ || !r->hasHotKey(shortcut)) return false;
        return r->center_->isKeyDown(shortcut.carbonKeyCode);
    };
    return makeRepeatingKeyDownEvents(loop_, events(shortcut), keyboard_.keyRepeatDelay(),
                                      keyboard_.keyRepeatInterval(), {}, std::move(shouldContinue));
}

}  // namespace vorela::Shortcuts
