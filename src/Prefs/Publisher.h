#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "Platform/Observation/Subscription.h"
#include "Prefs/Key.h"
#include "Prefs/PrefsObservation.h"

namespace vorela::Prefs {

// A source of changes to subscribe to. Every change reaches every subscriber (there is
// no demand to honour), on the writing thread; nothing arrives once the subscription is
// cancelled. It never completes and never fails.
template <class Output>
class Publisher {
public:
    using Subscriber = std::function<void(const Output&)>;
    using Receive = std::function<Subscription(Subscriber)>;

    explicit Publisher(Receive receive) : receive_(std::move(receive)) {}

    [[nodiscard]] Subscription sink(Subscriber subscriber) const {
        return receive_(std::move(subscriber));
    }

private:
    Receive receive_;
};

// The changes of one entry of one suite, as the suite reports them.
struct PrefsPublisher {
    std::shared_ptr<UserDefaults> suite;
    std::string key;
    ObservationOptions options;

    [[nodiscard]] Subscription receive(std::function<void(const BaseChange&)> subscriber) const;
};

template <Serializable T>
Publisher<KeyChange<T>> publisher(const Key<T>& key, ObservationOptions options) {
    PrefsPublisher source{key.suite(), key.name(), options};
    return Publisher<KeyChange<T>>([source, key](auto subscriber) {
        return source.receive([key, subscriber = std::move(subscriber)](const BaseChange& c) {
            subscriber(KeyChange<T>(c, key.defaultValue()));
        });
    });
}

// One empty element per change of any of the keys; nothing for no keys.
Publisher<std::tuple<>> publisher(const std::vector<std::reference_wrapper<const AnyKey>>& keys,
                                  ObservationOptions options);

}  // namespace vorela::Prefs
