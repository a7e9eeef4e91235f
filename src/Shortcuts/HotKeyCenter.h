#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "Platform/Keys/HotKeyRegistrar.h"
#include "Platform/Loop/LoopLink.h"
#include "Platform/Observation/Subscription.h"

namespace vorela {
class NotificationCenter;
class RunLoop;
}  // namespace vorela

namespace vorela::Shortcuts {

class HotKey;

// The one part of the system that talks to the platform's hot keys. It registers HotKey
// objects, installs the one event handler with the first successful registration, and runs
// the callbacks of the hot key an event names. Its mode follows the global switch, the
// recording pause and menu tracking:
// - normal: hot keys registered, hot-key events handled;
// - disabled (switch off, or paused while a recorder records): every hot key unregistered,
//   so the recorder sees the keys;
// - menuOpen (one of our menus is open): hot keys unregistered, and the key events that
//   reach the application are matched against the hot keys instead.
// Hot keys keep their table entries through every mode. Main thread only.
class HotKeyCenter : public std::enable_shared_from_this<HotKeyCenter> {
public:
    enum class Mode { disabled, normal, menuOpen };

    // 'SSKS', stamped into every identifier this centre registers.
    static constexpr std::uint32_t kSignature = 0x53534B53;

    // Creating the centre starts observing menu tracking.
    static std::shared_ptr<HotKeyCenter> create(RunLoop& loop, HotKeyRegistrar& registrar,
                                                NotificationCenter& notifications);
    ~HotKeyCenter();
    HotKeyCenter(const HotKeyCenter&) = delete;
    HotKeyCenter& operator=(const HotKeyCenter&) = delete;
    HotKeyCenter(HotKeyCenter&&) = delete;
    HotKeyCenter& operator=(HotKeyCenter&&) = delete;

    // register(_:): true when the system accepted the hot key.
    bool registerHotKey(const std::shared_ptr<HotKey>& hotKey);
    void updateMode();

    bool isEnabled() const { return isEnabled_; }
    void setEnabled(bool isEnabled) { isEnabled_ = isEnabled; }
    bool isPaused() const { return isPaused_; }
    void setPaused(bool isPaused) { isPaused_ = isPaused; }
    bool isMenuOpen() const { return isMenuOpen_; }
    Mode mode() const { return mode_; }
    int lastHotKeyId() const { return lastHotKeyId_; }
    bool hasEventHandler() const { return hasEventHandler_; }
    bool isHotKeyEventHandlingEnabled() const { return isHotKeyEventHandlingEnabled_; }
    bool isRawKeyEventHandlingEnabled() const { return isRawKeyEventHandlingEnabled_; }
    // Live hot keys in the table, by identifier.
    std::vector<std::shared_ptr<HotKey>> hotKeys() const;

    // (carbon key code, carbon modifiers) of the shortcuts the system or other programs hold.
    std::vector<std::pair<int, int>> systemShortcuts() const;
    bool isKeyDown(int carbonKeyCode) const;

    // The installed handler's two entry points.
    HotKeyEventResult handleHotKeyEvent(HotKeyIdentifier identifier, HotKeyEventKind kind);
    HotKeyEventResult handleRawKeyEvent(int keyCode, int modifiers, bool isRepeat, bool isKeyDown);

private:
    friend class HotKey;

    HotKeyCenter(RunLoop& loop, HotKeyRegistrar& registrar, NotificationCenter& notifications);

    int takeNextHotKeyId() { return ++lastHotKeyId_; }
    void tearDown(int id, std::optional<HotKeyRegistrationHandle> handle);
    std::optional<HotKeyRegistrationHandle> registerEventHotKey(const HotKey& hotKey);
    void applyMode();
    void pauseAllHotKeys();
    void resumeAllHotKeys();
    void setUpEventHandlerIfNeeded();
    void setHotKeyEventHandlingEnabled(bool isEnabled);
    void setRawKeyEventHandlingEnabled(bool isEnabled);
    void setUpMenuTrackingObserversIfNeeded();
    void setMenuOpen(bool isOpen);
    std::shared_ptr<HotKey> liveHotKey(int id) const;

    RunLoop& loop_;
    HotKeyRegistrar& registrar_;
    NotificationCenter& notifications_;
    int lastHotKeyId_ = 0;
    std::map<int, std::weak_ptr<HotKey>> hotKeys_;
    bool hasEventHandler_ = false;
    bool isEnabled_ = true;
    bool isPaused_ = false;
    bool isMenuOpen_ = false;
    bool isHotKeyEventHandlingEnabled_ = false;
    bool isRawKeyEventHandlingEnabled_ = false;
    Mode mode_ = Mode::normal;
    LoopLinkOwner loopLink_{loop_};
    Subscription openMenuObserver_;
    Subscription closeMenuObserver_;
};

}  // namespace vorela::Shortcuts
