#pragma once

#include <any>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Platform/Foundation/LifetimeGuard.h"
#include "Platform/Observation/Subscription.h"

namespace vorela {

class RunLoop;

// Values a notification carries, by key. Values are of any type; readers cast to the type
// the notification documents.
using NotificationUserInfo = std::map<std::string, std::any>;

struct Notification {
    std::string name;
    NotificationUserInfo userInfo;

    // The value under the key when it is present and of type T.
    template <class T>
    const T* value(const std::string& key) const {
        const auto it = userInfo.find(key);
        return it == userInfo.end() ? nullptr : std::any_cast<T>(&it->second);
    }
};

// Names posted by the user-interface layer when one of the application's own menus opens
// and closes (menu tracking begins and ends).
inline constexpr std::string_view kMenuDidBeginTrackingNotification = "MenuDidBeginTracking";
inline constexpr std::string_view kMenuDidEndTrackingNotification = "MenuDidEndTracking";

// Named notifications among the main thread's objects.
// - post() on the main thread delivers synchronously: every observer of the name has run
//   when it returns, in the order the observers were added. post() on another thread hands
//   the notification to the main thread through the run loop.
// - An observer may add or cancel observations while a notification runs: cancelled
//   observers are not called again, added ones wait for the next notification.
// - Subscriptions may outlive the centre.
class NotificationCenter {
public:
    using Observer = std::function<void(const Notification&)>;

    explicit NotificationCenter(RunLoop& loop);
    ~NotificationCenter();
    NotificationCenter(const NotificationCenter&) = delete;
    NotificationCenter& operator=(const NotificationCenter&) = delete;
    NotificationCenter(NotificationCenter&&) = delete;
    NotificationCenter& operator=(NotificationCenter&&) = delete;

    void post(std::string_view name, NotificationUserInfo userInfo = {});

    // Observes every notification of the name.
    [[nodiscard]] Subscription observe(std::string_view name, Observer observer);

private:
    struct Entry {
        std::string name;
        Observer observer;
        bool isActive = true;
    };
    using Entries = std::vector<std::shared_ptr<Entry>>;

    void deliver(const Notification& notification);

    RunLoop& loop_;
    std::shared_ptr<Entries> entries_ = std::make_shared<Entries>();
    LifetimeGuard guard_;  // last
};

}  // namespace vorela
