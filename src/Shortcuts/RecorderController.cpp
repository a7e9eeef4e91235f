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

}  // namespace

RecorderController::RecorderController(Context& context, Name name, OnChange onChange,
                                       RecorderDelegate& delegate)
    : context_(context),
      storageMode_(StorageMode::name),
      shortcutName_(std::move(name)),
      onChange_(std::move(onChange)),
      delegate_(delegate) {
    updateStringValue();
    observeName();
}

RecorderController::RecorderController(Context& context, std::optional<Shortcut> shortcut,
                                       OnChange onChange, RecorderDelegate& delegate)
    : context_(context),
      storageMode_(StorageMode::binding),
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
    nameObserver_ = context_.notifications().observe(
        kShortcutByNameDidChange, guard_.bind([this](const Notification& notification) {
            const auto name = shortcutsName(notification);
            if (name && name->rawValue() == shortcutName_.rawValue()) updateStringValue();
        }));
}

std::optional<Shortcut> RecorderController::shortcut() const {
    if (storageMode_ == StorageMode::binding) return bindingShortcut_;
    return context_.getShortcut(shortcutName_);
}

void RecorderController::setShortcut(std::optional<Shortcut> shortcut) {
    if (storageMode_ == StorageMode::binding) {
        if (shortcut == bindingShortcut_) return;
        bindingShortcut_ = shortcut;
    } else {
        const auto stored = context_.getShortcut(shortcutName_);
        if (shortcut == stored) return;
        context_.setShortcut(shortcut, shortcutName_);
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
    text_ = current ? current->presentableDescription(&context_.keyboardLayout()) : std::string();
    delegate_.displayChanged();
}

bool RecorderController::isTakenBySystem() const {
    const auto current = shortcut();
    return current &&
           Shortcuts::isTakenBySystem(*current, systemShortcuts(context_.hotKeyCenter()));
}

void RecorderController::beginRecording() {
    if (isRecording_) return;
    shortcutBeforeRecording_ = shortcut();
    // Our own pause: another recorder ending its recording does not lift it.
    pause_ = context_.registry().pause();
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
    // Another recorder may still be recording: report whether any is.
    context_.notifications().post(kRecorderActiveStatusDidChange,
                                  {{"isActive", std::any(context_.registry().isPaused())}});
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
    const auto watch = guard_.watch();
    const auto menu = context_.mainMenuItems();
    for (const MenuItem* item :
         menuItemsWithMatchingShortcut(shortcut, menu, &context_.keyboardLayout())) {
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
    if (!watch.isAlive()) return false;
    if (conflictPolicy_.disallowed != ConflictBehavior::allow &&
        isDisallowedByOptionOnlyRule(shortcut, systemVersion_, isSandboxed())) {
        // No alert here offers to keep the shortcut: warn acts as block.
        showAlert({localizedText("keyboard_shortcut_disallowed"), std::nullopt, {}});
        return false;
    }
    if (Shortcuts::isTakenBySystem(shortcut, systemShortcuts(context_.hotKeyCenter())) &&
        !handleConflict(conflictPolicy_.systemShortcut,
                        localizedText("keyboard_shortcut_used_by_system"),
                        localizedText("keyboard_shortcuts_can_be_changed"))) {
        return false;
    }
    if (!watch.isAlive()) return false;
    if (validateShortcut_) {
        const ValidationResult result = validateShortcut_(shortcut);
        if (!result.isAllowed()) {
            showAlert({result.reason().value_or(""), std::nullopt, {}});
            return false;
        }
    }
    return watch.isAlive();
}

void RecorderController::accept(const Shortcut& shortcut) {
    text_ = shortcut.presentableDescription(&context_.keyboardLayout());
    if (storageMode_ == StorageMode::binding) {
        bindingShortcut_ = shortcut;
    } else {
        // Written, re-registered and announced even when unchanged.
        context_.setShortcut(shortcut, shortcutName_);
    }
    delegate_.displayChanged();
    const auto watch = guard_.watch();
    if (const OnChange onChange = onChange_) onChange(shortcut);
    if (watch.isAlive()) delegate_.endEditing();
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
    const auto watch = guard_.watch();
    delegate_.endEditing();
    const int response = delegate_.runAlert(alert);
    // The control may have gone while the alert ran.
    if (watch.isAlive()) delegate_.beginEditing();
    return response;
}

void RecorderController::clear() {
    if (storageMode_ == StorageMode::binding) {
        bindingShortcut_.reset();
    } else {
        context_.setShortcut(std::nullopt, shortcutName_);
    }
    text_.clear();
    delegate_.displayChanged();
    const auto watch = guard_.watch();
    if (const OnChange onChange = onChange_) onChange(std::nullopt);
    if (watch.isAlive()) delegate_.beginEditing();
}

}  // namespace vorela::Shortcuts
