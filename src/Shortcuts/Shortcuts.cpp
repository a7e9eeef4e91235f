#include "Shortcuts/Shortcuts.h"

#include "Platform/Log/Log.h"
#include "Shortcuts/ConflictChecks.h"
#include "Shortcuts/Context.h"

namespace vorela::Shortcuts {
namespace {

Context* context() {
    Context* current = Context::current();
    if (!current) Log("shortcuts").fault("Atajos globales usados sin contexto instalado");
    return current;
}

HandlerRegistry* registry() {
    Context* current = context();
    return current ? &current->registry() : nullptr;
}

}  // namespace

Name Name::declare(std::string rawValue, std::optional<Shortcut> initial) {
    if (Context* c = context()) return c->declare(std::move(rawValue), initial);
    return Name(std::move(rawValue), initial);
}

std::optional<Shortcut> Name::shortcut() const { return getShortcut(*this); }

void Name::setShortcut(std::optional<Shortcut> shortcut) const {
    Shortcuts::setShortcut(shortcut, *this);
}

std::optional<Shortcut> getShortcut(const Name& name) {
    Context* c = context();
    return c ? c->getShortcut(name) : std::nullopt;
}

std::optional<std::string> keyHint(const Name& name) {
    Context* c = context();
    if (!c) return std::nullopt;
    const auto shortcut = c->workingShortcut(name);
    if (!shortcut) return std::nullopt;
    return shortcut->presentableDescription(&c->keyboardLayout());
}

void setShortcut(std::optional<Shortcut> shortcut, const Name& name) {
    if (Context* c = context()) c->setShortcut(shortcut, name);
}

void reset(const std::vector<Name>& names) {
    if (Context* c = context()) c->reset(names);
}

void resetAll() {
    if (Context* c = context()) c->resetAll();
}

std::set<Name> storedNames() {
    Context* c = context();
    return c ? c->storedNames() : std::set<Name>{};
}

bool isInitialized() {
    Context* c = context();
    return c && c->isInitialized();
}

std::optional<Name> shortcutsName(const Notification& notification) {
    if (const Name* name = notification.value<Name>("name")) return *name;
    return std::nullopt;
}

void onKeyDown(const Name& name, Handler action) {
    if (auto* r = registry()) r->onKeyDown(name, std::move(action));
}

void onKeyUp(const Name& name, Handler action) {
    if (auto* r = registry()) r->onKeyUp(name, std::move(action));
}

void removeHandler(const Name& name) {
    if (auto* r = registry()) r->removeHandler(name);
}

void removeAllHandlers() {
    if (auto* r = registry()) r->removeAllHandlers();
}

void disable(const std::vector<Name>& names) {
    if (auto* r = registry()) r->disable(names);
}

void enable(const std::vector<Name>& names) {
    if (auto* r = registry()) r->enable(names);
}

bool isEnabled() {
    auto* r = registry();
    return r && r->isEnabled();
}

void setEnabled(bool isEnabled) {
    if (auto* r = registry()) r->setEnabled(isEnabled);
}

bool isEnabled(const Name& name) {
    auto* r = registry();
    return r && r->isEnabled(name);
}

bool isPaused() {
    auto* r = registry();
    return r && r->isPaused();
}

Subscription pause() {
    auto* r = registry();
    return r ? r->pause() : Subscription{};
}

AsyncStream<EventType> events(const Name& name) {
    auto* r = registry();
    return r ? r->events(name) : AsyncStream<EventType>{};
}

AsyncStream<EventType> events(const Shortcut& shortcut) {
    auto* r = registry();
    return r ? r->events(shortcut) : AsyncStream<EventType>{};
}

AsyncStream<EventType> events(EventType type, const Name& name) {
    auto* r = registry();
    return r ? r->events(type, name) : AsyncStream<EventType>{};
}

AsyncStream<EventType> events(EventType type, const Shortcut& shortcut) {
    auto* r = registry();
    return r ? r->events(type, shortcut) : AsyncStream<EventType>{};
}

AsyncStream<KeyRepeat> repeatingKeyDownEvents(const Name& name) {
    auto* r = registry();
    return r ? r->repeatingKeyDownEvents(name) : AsyncStream<KeyRepeat>{};
}

AsyncStream<KeyRepeat> repeatingKeyDownEvents(const Shortcut& shortcut) {
    auto* r = registry();
    return r ? r->repeatingKeyDownEvents(shortcut) : AsyncStream<KeyRepeat>{};
}

}  // namespace vorela::Shortcuts
