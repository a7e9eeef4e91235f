#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Platform/Foundation/LifetimeGuard.h"
#include "Platform/Observation/Subscription.h"
#include "Shortcuts/ConflictChecks.h"
#include "Shortcuts/ConflictPolicy.h"
#include "Shortcuts/KeyEvent.h"
#include "Shortcuts/Name.h"
#include "Shortcuts/Shortcut.h"

namespace vorela::Shortcuts {

class Context;

// An alert the recorder shows: a title, an optional message and its buttons in order (none:
// the toolkit's single default button). The response of the n-th button is 1000 + n.
struct RecorderAlert {
    std::string title;
    std::optional<std::string> message;
    std::vector<std::string> buttons;
};
inline constexpr int kFirstButtonResponse = 1000;
inline constexpr int kSecondButtonResponse = 1001;

// What the recorder asks of the control that shows it.
class RecorderDelegate {
public:
    virtual ~RecorderDelegate() = default;
    // Let go of the keyboard focus; the control then calls endRecording().
    virtual void endEditing() = 0;
    // Take the focus back (only when in a window); the control then calls beginRecording().
    virtual void beginEditing() = 0;
    virtual void beep() = 0;
    // Modal; returns the response of the button chosen.
    virtual int runAlert(const RecorderAlert& alert) = 0;
    // The text, placeholder or clear button changed.
    virtual void displayChanged() = 0;
};

enum class KeyDecision { passOn, swallow };

// The shortcut recorder's decisions, without a toolkit: what it shows, what a key press
// while recording does (the order of the conflict checks, the alerts, what is stored), and
// the recording pause it owns. Bound to a shortcut name (read from and written to the store)
// or to a shortcut it keeps itself, in the shortcut context it is given, which must outlive
// it. Main thread.
class RecorderController {
public:
    enum class StorageMode { name, binding };
    using OnChange = std::function<void(std::optional<Shortcut>)>;
    using Validator = std::function<ValidationResult(const Shortcut&)>;

    RecorderController(Context& context, Name name, OnChange onChange, RecorderDelegate& delegate);
    RecorderController(Context& context, std::optional<Shortcut> shortcut, OnChange onChange,
                       RecorderDelegate& delegate);
    ~RecorderController();
    RecorderController(const RecorderController&) = delete;
    RecorderController& operator=(const RecorderController&) = delete;
    RecorderController(RecorderController&&) = delete;
    RecorderController& operator=(RecorderController&&) = delete;

    Context& context() const { return context_; }
    StorageMode storageMode() const { return storageMode_; }
    // The stored shortcut of the name, or the kept one. Writing never calls onChange.
    std::optional<Shortcut> shortcut() const;
    void setShortcut(std::optional<Shortcut> shortcut);
    const Name& shortcutName() const { return shortcutName_; }
    void setShortcutName(Name name);
    void setOnChange(OnChange onChange) { onChange_ = std::move(onChange); }
    void setValidateShortcut(Validator validator) { validateShortcut_ = std::move(validator); }
    const ConflictPolicy& conflictPolicy() const { return conflictPolicy_; }
    void setConflictPolicy(ConflictPolicy policy) { conflictPolicy_ = policy; }
    // On macOS only; Linux keeps the zero version, so the Option-only rule never applies.
    void setSystemVersion(SystemVersion version) { systemVersion_ = version; }

    const std::string& text() const { return text_; }
    // Whether the shortcut shown is one the system holds (the X server refused it to us, or
    // the desktop binds it), so that it shows but does nothing; read afresh on every call.
    bool isTakenBySystem() const;
    std::string placeholder() const;
    bool isClearButtonVisible() const { return !text_.empty(); }
    bool isRecording() const { return isRecording_; }

    // The control took the focus: pause the global shortcuts (this recorder's own pause)
    // and tell everyone a recorder is active.
    void beginRecording();
    // Ends recording; safe when not recording.
    void endRecording();
    // A key press while recording.
    KeyDecision handleKeyDown(const KeyEvent& event);
    // The clear button: removes the shortcut and keeps recording.
    void clear();

private:
    void updateStringValue();
    bool handleConflict(ConflictBehavior behavior, const std::string& title,
                        const std::optional<std::string>& message);
    int showAlert(const RecorderAlert& alert);
    bool passesChecks(const Shortcut& shortcut);
    void accept(const Shortcut& shortcut);
    void postActiveStatus() const;
    void observeName();

    Context& context_;
    StorageMode storageMode_;
    Name shortcutName_{""};
    std::optional<Shortcut> bindingShortcut_;
    OnChange onChange_;
    RecorderDelegate& delegate_;
    Validator validateShortcut_;
    ConflictPolicy conflictPolicy_;
    SystemVersion systemVersion_;
    std::optional<Shortcut> shortcutBeforeRecording_;
    std::string text_;
    bool isRecording_ = false;
    Subscription pause_;
    Subscription nameObserver_;
    // Last. Alerts run nested event loops in which the control may go away.
    LifetimeGuard guard_;
};

}  // namespace vorela::Shortcuts
