#pragma once

#include <functional>
#include <memory>
#include <utility>

#include "Platform/Observation/Subscription.h"

namespace vorela {

// Room for one callback: installing one replaces the one before, and the subscription
// an installation returns removes that callback when it ends, unless another has replaced
// it meanwhile. So the installer, not the owner's destructor, clears the slot. One thread
// (the owner's); subscriptions may outlive the slot.
template <class... Args>
class CallbackSlot {
public:
    using Callback = std::function<void(Args...)>;

    CallbackSlot() = default;
    ~CallbackSlot() = default;
    CallbackSlot(const CallbackSlot&) = delete;
    CallbackSlot& operator=(const CallbackSlot&) = delete;
    CallbackSlot(CallbackSlot&&) = delete;
    CallbackSlot& operator=(CallbackSlot&&) = delete;

    [[nodiscard]] Subscription install(Callback callback) {
        auto installed = std::make_shared<const Callback>(std::move(callback));
        *current_ = installed;
        return Subscription([weakCurrent = std::weak_ptr<Current>(current_),
                             weakInstalled = std::weak_ptr<const Callback>(installed)] {
            const auto current = weakCurrent.lock();
            if (current && *current == weakInstalled.lock()) current->reset();
        });
    }

    bool isInstalled() const { return *current_ && **current_; }

    // Runs the installed callback, if any. It may replace or remove itself meanwhile.
    void operator()(Args... args) const {
        const auto callback = *current_;
        if (callback && *callback) (*callback)(std::forward<Args>(args)...);
    }

private:
    using Current = std::shared_ptr<const Callback>;
    std::shared_ptr<Current> current_ = std::make_shared<Current>();
};

}  // namespace vorela
