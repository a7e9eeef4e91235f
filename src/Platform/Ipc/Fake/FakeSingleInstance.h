#pragma once

#include <memory>
#include <vector>

#include "Platform/Ipc/SingleInstance.h"

namespace vorela {

class RunLoop;

// The per-user lock and socket of several fake processes: the first to claim is primary
// until it is destroyed. Messages are posted to the primary through the run loop.
class FakeInstanceBus {
public:
    explicit FakeInstanceBus(RunLoop& loop) : loop_(loop) {}
    RunLoop& loop() const { return loop_; }
    std::weak_ptr<SingleInstance::MessageHandler> primary() const { return primary_; }
    void setPrimary(std::weak_ptr<SingleInstance::MessageHandler> handler) {
        primary_ = std::move(handler);
    }

private:
    RunLoop& loop_;
    std::weak_ptr<SingleInstance::MessageHandler> primary_;
};

class FakeSingleInstance final : public SingleInstance {
public:
    explicit FakeSingleInstance(FakeInstanceBus& bus) : bus_(bus) {}

    InstanceRole claim(MessageHandler onMessage) override;
    std::optional<HandOffError> handOff(const InstanceMessage& message) override;

    // --- test controls ---
    void failClaims(bool fails) { failsClaims_ = fails; }
    const std::vector<InstanceMessage>& handedOff() const { return handedOff_; }

private:
    FakeInstanceBus& bus_;
    std::shared_ptr<MessageHandler> handler_;
    std::vector<InstanceMessage> handedOff_;
    bool failsClaims_ = false;
};

}  // namespace vorela
