#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "Platform/Observation/NotificationCenter.h"
#include "Platform/Observation/Subscription.h"

namespace vorela {

// Holds the notification-observer tokens of one owner, each with the centre that issued
// it. add() may be called from any thread; when the box is destroyed with its owner every
// observation is removed from its centre, in the order the tokens were added.
class ObserverBox final {
public:
    ObserverBox() = default;
    ~ObserverBox();
    ObserverBox(const ObserverBox&) = delete;
    ObserverBox& operator=(const ObserverBox&) = delete;
    ObserverBox(ObserverBox&&) = delete;
    ObserverBox& operator=(ObserverBox&&) = delete;

    void add(Subscription token, std::shared_ptr<NotificationCenter> center);

private:
    struct Pair {
        std::shared_ptr<NotificationCenter> center;
        Subscription token;
    };

    std::mutex lock_;
    std::vector<Pair> tokens_;
};

}  // namespace vorela
