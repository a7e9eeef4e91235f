#pragma once

#include <memory>
#include <utility>

namespace vorela {

// Tells a callback whether the object that scheduled it still exists. Declare the guard
// last in its owner: it is then destroyed first, so no callback it lets through finds a
// member gone. Watches are the one way to check, on any thread; the guard itself is
// created and destroyed on its owner's thread.
class LifetimeGuard {
public:
    // A copyable, thread-safe view of the guard.
    class Watch {
    public:
        Watch() = default;
        bool isAlive() const { return !flag_.expired(); }

    private:
        friend class LifetimeGuard;
        explicit Watch(std::weak_ptr<const char> flag) : flag_(std::move(flag)) {}
        std::weak_ptr<const char> flag_;
    };

    LifetimeGuard() = default;
    ~LifetimeGuard() = default;
    LifetimeGuard(const LifetimeGuard&) = delete;
    LifetimeGuard& operator=(const LifetimeGuard&) = delete;
    LifetimeGuard(LifetimeGuard&&) = delete;
    LifetimeGuard& operator=(LifetimeGuard&&) = delete;

    Watch watch() const { return Watch(flag_); }

    // The callback, run only while the owner lives; afterwards a call does nothing.
    template <class F>
    auto bind(F callback) const {
        return [watch = watch(), callback = std::move(callback)](auto&&... args) mutable {
            if (watch.isAlive()) callback(std::forward<decltype(args)>(args)...);
        };
    }

    // Ends every watch now, for an owner whose destructor does work that could call back
    // before the guard itself goes.
    void invalidate() { flag_.reset(); }

private:
    std::shared_ptr<const char> flag_ = std::make_shared<const char>('\0');
};

}  // namespace vorela
