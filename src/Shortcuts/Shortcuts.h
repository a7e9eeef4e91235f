#pragma once

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "Platform/Observation/AsyncStream.h"
#include "Platform/Observation/NotificationCenter.h"
#include "Platform/Observation/Subscription.h"
#include "Shortcuts/EventType.h"
#include "Shortcuts/Name.h"
#include "Shortcuts/RepeatingKeyDownEvents.h"
#include "Shortcuts/Shortcut.h"
#include "Shortcuts/ShortcutStore.h"

// The global shortcuts as the rest of the application uses them: names, their stored keys,
// handlers and streams. Every function works on the installed Context (Context.h) and runs
// on the main thread; with no context installed, reads give nothing and changes do nothing.
namespace vorela::Shortcuts {

using Handler = std::function<void()>;

// Storage
std::optional<Shortcut> getShortcut(const Name& name);
// The key a hint beside a command names: the stored shortcut as the desktop writes it
// ("Alt+Espacio"), or none when nothing is stored or another program holds the keys (the
// X server refused them to us), so that no text promises a key that does nothing.
std::optional<std::string> keyHint(const Name& name);
void setShortcut(std::optional<Shortcut> shortcut, const Name& name);
void reset(const std::vector<Name>& names);
void resetAll();
std::set<Name> storedNames();
bool isInitialized();
// The name a "Shortcuts_shortcutByNameDidChange" notification carries, if any.
std::optional<Name> shortcutsName(const Notification& notification);

// Handlers
void onKeyDown(const Name& name, Handler action);
void onKeyUp(const Name& name, Handler action);
void removeHandler(const Name& name);
void removeAllHandlers();
void disable(const std::vector<Name>& names);
void enable(const std::vector<Name>& names);

// The global switch and the recording pause
bool isEnabled();
void setEnabled(bool isEnabled);
bool isEnabled(const Name& name);
bool isPaused();
// Shortcuts stay paused until every pause taken is cancelled or destroyed.
[[nodiscard]] Subscription pause();

// Streams
AsyncStream<EventType> events(const Name& name);
AsyncStream<EventType> events(const Shortcut& shortcut);
AsyncStream<EventType> events(EventType type, const Name& name);
AsyncStream<EventType> events(EventType type, const Shortcut& shortcut);
AsyncStream<KeyRepeat> repeatingKeyDownEvents(const Name& name);
AsyncStream<KeyRepeat> repeatingKeyDownEvents(const Shortcut& shortcut);

}  // namespace vorela::Shortcuts
