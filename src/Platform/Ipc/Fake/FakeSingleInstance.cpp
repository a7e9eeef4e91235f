#include "Platform/Ipc/Fake/FakeSingleInstance.h"

#include "Platform/Loop/RunLoop.h"

namespace vorela {

InstanceRole FakeSingleInstance::claim(MessageHandler onMessage) {
    if (failsClaims_) return InstanceRole::failed;
    if (handler_) return InstanceRole::primary;
    if (!bus_.primary().expired()) return InstanceRole::secondary;
    handler_ = std::make_shared<MessageHandler>(std::move(onMessage));
    bus_.setPrimary(handler_);
    return InstanceRole::primary;
}

std::optional<HandOffError> FakeSingleInstance::handOff(const InstanceMessage& message) {
    std::weak_ptr<MessageHandler> weak = bus_.primary();
    if (handler_ || weak.expired()) return HandOffError{HandOffError::Kind::notListening, {}};
    handedOff_.push_back(message);
    bus_.loop().post([weak, message] {
        if (auto handler = weak.lock()) (*handler)(message);
    });
    return std::nullopt;
}

}  // namespace vorela
