#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <unordered_map>
#include <vector>

#include "Platform/Foundation/LifetimeGuard.h"
#include "Platform/Loop/LoopLink.h"
#include "Platform/Observation/AsyncStream.h"
#include "Platform/Observation/Subscription.h"
#include "Shortcuts/EventType.h"
#include "Shortcuts/NameTable.h"
#include "Shortcuts/RepeatingKeyDownEvents.h"
#include "Shortcuts/Shortcut.h"

namespace vorela {
class KeyboardLayout;
class RunLoop;
}  // namespace vorela

namespace vorela::Shortcuts {

class HotKey;
class HotKeyCenter;
class ShortcutStore;

// The registry between names and hot keys. It keeps exactly one registered HotKey for each
// shortcut that an enabled name with handlers, or a stream, uses, and releases it as soon
// as nothing does. A hot key's event runs the handlers of every enabled name that stores
// that shortcut at that moment, names in the order they were first attached, each name's
// handlers in the order they were added. Main thread only.
class HandlerRegistry {
public:
    using Handler = std::function<void()>;

    HandlerRegistry(RunLoop& loop, ShortcutStore& store, std::shared_ptr<HotKeyCenter> center,
                    const KeyboardLayout& keyboard);
    ~HandlerRegistry();
    HandlerRegistry(const HandlerRegistry&) = delete;
    HandlerRegistry& operator=(const HandlerRegistry&) = delete;
    HandlerRegistry(HandlerRegistry&&) = delete;
    HandlerRegistry& operator=(HandlerRegistry&&) = delete;

    // Handlers are never deduplicated: adding one twice runs it twice.
    void onKeyDown(const Name& name, Handler handler);
    void onKeyUp(const Name& name, Handler handler);
    void removeHandler(const Name& name);
    // Leaves streams alone, so the hot keys they use stay registered.
    void removeAllHandlers();

    void disable(const std::vector<Name>& names);
    void enable(const std::vector<Name>& names);

    // The global switch: off unregisters every hot key, on registers them again; handlers,
    // streams and the hot-key table are untouched.
    bool isEnabled() const { return isEnabled_; }
    void setEnabled(bool isEnabled);
    // isEnabled(for:): switch on, handlers, a stored shortcut and its hot key.
    bool isEnabled(const Name& name) const;

    // Pausing (while a recorder records) delivers nothing and releases every hot key, so
    // the recorder sees the keys. Each owner holds its own pause: shortcuts stay paused
    // until every returned subscription is cancelled or destroyed.
    bool isPaused() const { return pauseCount_ > 0; }
    [[nodiscard]] Subscription pause();

    // Key events of a name's current keys (or of fixed keys), buffered without bound. The
    // stream's end releases its entries and, when nothing else uses it, the hot key.
    AsyncStream<EventType> events(const Name& name);
    AsyncStream<EventType> events(const Shortcut& shortcut);
    AsyncStream<EventType> events(EventType type, const Name& name);
    AsyncStream<EventType> events(EventType type, const Shortcut& shortcut);
    // One value per press, then repeats at the keyboard's repeat delay and interval while
    // the keys stay held (and the key is really still down).
    AsyncStream<KeyRepeat> repeatingKeyDownEvents(const Name& name);
    AsyncStream<KeyRepeat> repeatingKeyDownEvents(const Shortcut& shortcut);

    // Used by the storage operations to keep hot keys in step with stored keys.
    void registerIfNeeded(const Shortcut& shortcut);
    void registerIfNeeded(const Name& name);
    bool isShortcutActive(const Shortcut& shortcut, const Name* excluding) const;
    bool hasActiveHandlers(const Name& name) const;
    void removeHotKey(const Shortcut& shortcut);
    bool hasHotKey(const Shortcut& shortcut) const;
    std::size_t hotKeyCount() const { return hotKeys_.size(); }

private:
    using StreamHandlers = std::map<std::uint64_t, Handler>;

    bool isDisabled(const Name& name) const { return disabledNames_.contains(name); }
    // The name's stored keys as its hot key sees them (unknown modifier bits dropped).
    std::optional<Shortcut> keysOf(const Name& name) const;
    bool hasHandlers(const Name& name) const;
    bool hasHardCodedStreamHandlers(const Shortcut& shortcut) const;
    std::vector<Name> namesInTables() const;
    void handleKeyEvent(EventType type, const Shortcut& shortcut);
    void releaseIfUnused(const std::optional<Shortcut>& shortcut, const Name* excluding);
    void endNameStream(const Name& name, std::uint64_t id);
    void endShortcutStream(const Shortcut& shortcut, std::uint64_t id);
    void setPaused(bool isPaused);
    template <class Key>
    void onStreamEnd(const AsyncStream<EventType>::Continuation& continuation, Key key,
                     std::uint64_t id);

    RunLoop& loop_;
    ShortcutStore& store_;
    std::shared_ptr<HotKeyCenter> center_;
    const KeyboardLayout& keyboard_;
    std::unordered_map<Shortcut, std::shared_ptr<HotKey>> hotKeys_;
    std::set<Name> disabledNames_;
    NameTable<std::vector<Handler>> keyDownHandlers_;
    NameTable<std::vector<Handler>> keyUpHandlers_;
    NameTable<StreamHandlers> streamKeyDownHandlers_;
    NameTable<StreamHandlers> streamKeyUpHandlers_;
    std::unordered_map<Shortcut, StreamHandlers> streamShortcutKeyDownHandlers_;
    std::unordered_map<Shortcut, StreamHandlers> streamShortcutKeyUpHandlers_;
    bool isEnabled_ = true;
    int pauseCount_ = 0;
    std::uint64_t lastStreamId_ = 0;
    LoopLinkOwner loopLink_{loop_};
    // Last: callbacks that outlive the registry (hot keys, streams, pauses) check it.
    LifetimeGuard guard_;
};

}  // namespace vorela::Shortcuts
