#include "Prefs/Publisher.h"

namespace vorela::Prefs {

Subscription PrefsPublisher::receive(std::function<void(const BaseChange&)> subscriber) const {
    auto observation = std::make_shared<PrefsObservation>(
        suite, key, [subscriber = std::move(subscriber)](const SuiteKeyPair&, const BaseChange& c) {
            subscriber(c);
        });
    observation->start(options);
    // Invalidating waits for a delivery under way elsewhere, so nothing follows cancel().
    return Subscription([observation] { observation->invalidate(); });
}

Publisher<std::tuple<>> publisher(const std::vector<std::reference_wrapper<const AnyKey>>& keys,
                                  ObservationOptions options) {
    std::vector<PrefsPublisher> sources;
    for (const AnyKey& key : keys) sources.push_back({key.suite(), key.name(), options});
    return Publisher<std::tuple<>>([sources](auto subscriber) {
        auto shared = std::make_shared<decltype(subscriber)>(std::move(subscriber));
        auto subscriptions = std::make_shared<std::vector<Subscription>>();
        for (const auto& source : sources) {
            subscriptions->push_back(
                source.receive([shared](const BaseChange&) { (*shared)(std::tuple<>()); }));
        }
        return Subscription([subscriptions] { subscriptions->clear(); });
    });
}

}  // namespace vorela::Prefs
