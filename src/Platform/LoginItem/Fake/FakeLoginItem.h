#pragma once

#include "Platform/LoginItem/LoginItem.h"

namespace vorela {

// A login item kept in memory. Requests can be made to fail; the status then stays as it
// was, like a refused request of the real service.
class FakeLoginItem final : public LoginItem {
public:
    LoginItemStatus status() const override { return status_; }
    std::optional<LoginItemFailure> registerItem() override {
        ++registerCalls;
        return apply(LoginItemStatus::enabled);
    }
    std::optional<LoginItemFailure> unregisterItem() override {
        ++unregisterCalls;
        return apply(LoginItemStatus::notRegistered);
    }

    // --- test controls ---
    void setStatus(LoginItemStatus status) { status_ = status; }
    // Every following request fails with this failure, until cleared with nothing.
    void setFailure(std::optional<LoginItemFailure> failure) { failure_ = std::move(failure); }
    int registerCalls = 0;
    int unregisterCalls = 0;

private:
    std::optional<LoginItemFailure> apply(LoginItemStatus next) {
        if (failure_) return failure_;
        status_ = next;
        return std::nullopt;
    }

    LoginItemStatus status_ = LoginItemStatus::notRegistered;
    std::optional<LoginItemFailure> failure_;
};

}  // namespace vorela
