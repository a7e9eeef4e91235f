#include "Prefs/Updates.h"

namespace vorela::Prefs {

AsyncStream<std::tuple<>> updates(const std::vector<std::reference_wrapper<const AnyKey>>& keys,
                                  bool initial) {
    auto [stream, producer] = AsyncStream<std::tuple<>>::make();
    const auto continuation = producer;  // clang 14 cannot capture a structured binding
    detail::Observations observations;
    for (const AnyKey& key : keys) {
        observations.push_back(std::make_shared<PrefsObservation>(
            key, [continuation](const SuiteKeyPair&, const BaseChange&) {
                continuation.yield(std::tuple<>());
            }));
    }
    detail::invalidateOnTermination<std::tuple<>>(continuation, observations);
    for (std::size_t i = 0; i < observations.size(); ++i) {
        const bool first = i == 0 && initial;
        observations[i]->start(first ? ObservationOptions::of({ObservationOption::initial})
                                     : ObservationOptions::none());
    }
    return stream;
}

}  // namespace vorela::Prefs
