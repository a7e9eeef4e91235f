#include "Shortcuts/RecorderController.h"

#include "Platform/Observation/NotificationCenter.h"
#include "Shortcuts/Context.h"
#include "Shortcuts/RecorderStatus.h"
#include "Shortcuts/ShortcutStore.h"
#include "Shortcuts/ShortcutTexts.h"
#include "Shortcuts/Shortcuts.h"
#include "Shortcuts/SpecialKey.h"

namespace vorela::Shortcuts {
namespace {

// Device-independent modifier flags without Caps Lock and Numeric Pad, and the same also
// without Shift and Function: what is left must include Control, Option or Command.
constexpr std::uint32_t kRelevantModifiers = 0xFFDE0000;
constexpr std::uint32_t kCommandModifiers = 0xFF5C0000;

bool isFunctionKey(int keyCode) {
    const auto special = specialKeyFor(Key(keyCode));
    return special && *special >= SpecialKey::f1 && *special <= SpecialKey::f20;
}

const KeyboardLayout* currentLayout() {
    const Context* context = Context::current();
    return context ? &context->keyboardLayout() : nullptr;
}

}  // namespace

RecorderController::RecorderController(Name name, OnChange onChange, RecorderDelegate& delegate)
    : storageMode_(StorageMode::name),
      shortcutName_(std::move(name)),
      onChange_(std::move(onChange)),
      delegate_(delegate) {
    updateStringValue();
    observeName();
}

RecorderController::RecorderController(std::optional<Shortcut> shortcut, OnChange onChange,
                                       RecorderDelegate& delegate)
    : storageMode_(StorageMode::binding),
      bindingShortcut_(shortcut),
      onChange_(std::move(onChange)),
      delegate_(delegate) {
    updateStringValue();
}

RecorderController::~RecorderController() {
    if (isRecording_) {
        pause_.cancel();
        postActiveStatus();
    }
}

void RecorderController::observeName() {
    Context* context = Context::current();
    if (!context) return;
    std::weak_ptr<bool> alive = alive_;
    nameObserver_ = context->notifications().observe(
        kShortcutByNameDidChange, [this, alive](const Notification& notification) {
            if (alive.expired()) return;
            const auto name = shortcutsName(notification);
            if (name && name->rawValue() == shortcutName_.rawValue()) updateStringValue();
        });
}

std::optional<Shortcut> RecorderController::shortcut() const {
    if (storageMode_ == StorageMode::binding) return bindingShortcut_;
    return getShortcut(shortcutName_);
}

void RecorderController::setShortcut(std::optional<Shortcut> shortcut) {
    if (storageMode_ == StorageMode::binding) {
        if (shortcut == bindingShortcut_) return;
        bindingShortcut_ = shortcut;
    } else {
        const auto stored = getShortcut(shortcutName_);
        if (shortcut == stored) return;
        Shortcuts::setShortcut(shortcut, shortcutName_);
    }
    updateStringValue();
}

void RecorderController::setShortcutName(Name name) {
    if (name.rawValue() == shortcutName_.rawValue()) return;
    shortcutName_ = std::move(name);
    if (storageMode_ == StorageMode::name) updateStringValue();
}

std::string RecorderController::placeholder() const {
    return localizedText(isRecording_ ? "press_shortcut" : "record_shortcut");
}

void RecorderController::updateStringValue() {
    const auto current = shortcut();
    text_ = current ? current->presentableDescription() : std::string();
    delegate_.displayChanged();
}

void RecorderController::beginRecording() {
    if (isRecording_) return;
    shortcutBeforeRecording_ = shortcut();
    // Our own pause: another recorder ending its recording does not lift it.
    pause_ = pause();
    isRecording_ = true;
    delegate_.displayChanged();
    postActiveStatus();
}

void RecorderController::endRecording() {
    shortcutBeforeRecording_.reset();
    pause_.cancel();
    const bool wasRecording = isRecording_;
    isRecording_ = false;
    delegate_.displayChanged();
    if (wasRecording) postActiveStatus();
}

void RecorderController::postActiveStatus() const {
    if (Context* context = Context::current()) {
        // Another recorder may still be recording: report whether any is.
        context->notifications().post(kRecorderActiveStatusDidChange,
                                      {{"isActive", std::any(Shortcuts::isPaused())}});
    }
}

KeyDecision RecorderController::handleKeyDown(const KeyEvent& event) {
    const std::uint32_t flags = event.modifierFlags.rawValue;
    if ((flags & kRelevantModifiers) == 0) {
        if (event.keyCode == Key::tab.rawValue) {
            delegate_.endEditing();
            return KeyDecision::passOn;
        }
        if (event.keyCode == Key::deleteKey.rawValue ||
            event.keyCode == Key::deleteForward.rawValue) {
            // Nothing shown, no clear button to press.
            if (isClearButtonVisible()) clear();
            return KeyDecision::swallow;
        }
        if (event.keyCode == Key::escape.rawValue) {
            delegate_.endEditing();
            return KeyDecision::swallow;
        }
    }
    if ((flags & kCommandModifiers) == 0 && !isFunctionKey(event.keyCode)) {
        delegate_.beep();
        return KeyDecision::swallow;
    }
    const auto shortcut = Shortcut::fromEvent(event);
    if (!shortcut) {
        delegate_.beep();
        return KeyDecision::swallow;
    }
    if (passesChecks(*shortcut)) accept(*shortcut);
    return KeyDecision::swallow;
}

bool RecorderController::passesChecks(const Shortcut& shortcut) {
    const std::weak_ptr<bool> alive = alive_;
    Context* context = Context::current();
    const auto menu = context ? context->mainMenuItems() : std::vector<MenuItem>{};
    for (const MenuItem* item : menuItemsWithMatchingShortcut(shortcut, menu, currentLayout())) {
        // The item showing the very keys being recorded again is no conflict.
        const bool isOwnItem = storageMode_ == StorageMode::name &&
                               shortcutBeforeRecording_ == shortcut &&
                               item->boundName == shortcutName_.rawValue();
        if (isOwnItem) continue;
        const std::string title = item->title;
        if (!handleConflict(conflictPolicy_.menuItem,
                            localizedText("keyboard_shortcut_used_by_menu_item", title),
                            std::nullopt)) {
            return false;
        }
        break;
    }
    if (alive.expired()) return false;
    if (conflictPolicy_.disallowed != ConflictBehavior::allow &&
        isDisallowedByOptionOnlyRule(shortcut, systemVersion_, isSandboxed())) {
        // No alert here offers to keep the shortcut: warn acts as block.
        showAlert({localizedText("keyboard_shortcut_disallowed"), std::nullopt, {}});
        return false;
    }
    const auto system =
        context ? systemShortcuts(context->hotKeyCenter()) : std::vector<Shortcut>{};
    if (isTakenBySystem(shortcut, system) &&
        !handleConflict(conflictPolicy_.systemShortcut,
                        localizedText("keyboard_shortcut_used_by_system"),
                        localizedText("keyboard_shortcuts_can_be_changed"))) {
        return false;
    }
    if (alive.expired()) return false;
    if (validateShortcut_) {
        const ValidationResult result = validateShortcut_(shortcut);
        if (!result.isAllowed()) {
            showAlert({result.reason().value_or(""), std::nullopt, {}});
            return false;
        }
    }
    return !alive.expired();
}

void RecorderController::accept(const Shortcut& shortcut) {
    text_ = shortcut.presentableDescription();
    if (storageMode_ == StorageMode::binding) {
        bindingShortcut_ = shortcut;
    } else {
        // Written, re-registered and announced even when unchanged.
        Shortcuts::setShortcut(shortcut, shortcutName_);
    }
    delegate_.displayChanged();
    const std::weak_ptr<bool> alive = alive_;
    if (const OnChange onChange = onChange_) onChange(shortcut);
    if (!alive.expired()) delegate_.endEditing();
}

bool RecorderController::handleConflict(ConflictBehavior behavior, const std::string& title,
                                        const std::optional<std::string>& message) {
    switch (behavior) {
        case ConflictBehavior::block:
            showAlert({title, message, {}});
            return false;
        case ConflictBehavior::warn:
            return showAlert({title,
                              message,
                              {localizedText("ok"), localizedText("force_use_shortcut")}}) ==
                   kSecondButtonResponse;
        case ConflictBehavior::allow:
            return true;
    }
    return false;
}

int RecorderController::showAlert(const RecorderAlert& alert) {
    const std::weak_ptr<bool> alive = alive_;
    delegate_.endEditing();
    const int response = delegate_.runAlert(alert);
    // The control may have gone while the alert ran.
    if (!alive.expired()) delegate_.beginEditing();
    return response;
}

void RecorderController::clear() {
    if (storageMode_ == StorageMode::binding) {
        bindingShortcut_.reset();
    } else {
        Shortcuts::setShortcut(std::nullopt, shortcutName_);
    }
    text_.clear();
    delegate_.displayChanged();
    const std::weak_ptr<bool> alive = alive_;
    if (const OnChange onChange = onChange_) onChange(std::nullopt);
    if (!alive.expired()) delegate_.beginEditing();
}

}  // namespace vorela::Shortcuts
