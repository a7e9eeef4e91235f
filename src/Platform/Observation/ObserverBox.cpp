#include "Platform/Observation/ObserverBox.h"

#include <utility>

namespace vorela {

ObserverBox::~ObserverBox() {
    // No lock: a box being destroyed has no other user. Cancelling a token removes the
    // observation from the centre that issued it.
    for (auto& pair : tokens_) pair.token.cancel();
}

void ObserverBox::add(Subscription token, std::shared_ptr<NotificationCenter> center) {
    std::lock_guard guard(lock_);
    tokens_.push_back(Pair{std::move(center), std::move(token)});
}

}  // namespace vorela
