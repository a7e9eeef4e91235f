#pragma once

#include <functional>
#include <memory>
#include <tuple>
#include <vector>

#include "Platform/Observation/AsyncStream.h"
#include "Prefs/Key.h"
#include "Prefs/PrefsObservation.h"

// Streams of preference values: unbounded, so a slow consumer gets every value in order.
// Values are produced on the writing thread and consumed on the run loop given to
// forEach(). When the consumer ends the stream, its observations are invalidated at once
// (on the consumer's thread); values written afterwards go nowhere.
namespace vorela::Prefs {

namespace detail {

using Observations = std::vector<std::shared_ptr<PrefsObservation>>;

template <class T>
void invalidateOnTermination(const typename AsyncStream<T>::Continuation& continuation,
                             Observations observations) {
    continuation.onTermination([observations = std::move(observations)] {
        for (const auto& observation : observations) observation->invalidate();
    });
}

}  // namespace detail

// The key's value after each change; with `initial`, its current value first. A missing
// or unconvertible stored value reads as the key's default.
template <Serializable T>
AsyncStream<T> updates(const Key<T>& key, bool initial) {
    auto [stream, producer] = AsyncStream<T>::make();
    const auto continuation = producer;  // clang 14 cannot capture a structured binding
    auto observation = std::make_shared<PrefsObservation>(
        key, [key, continuation](const SuiteKeyPair&, const BaseChange& change) {
            continuation.yield(KeyChange<T>(change, key.defaultValue()).newValue);
        });
    detail::invalidateOnTermination<T>(continuation, {observation});
    observation->start(initial ? ObservationOptions::of({ObservationOption::initial})
                               : ObservationOptions::none());
    return stream;
}

// Every key's value, read afresh after a change of any of them; with `initial`, the
// current values first.
template <Serializable... Ts>
AsyncStream<std::tuple<Ts...>> updates(bool initial, const Key<Ts>&... keys) {
    using Values = std::tuple<Ts...>;
    auto [stream, producer] = AsyncStream<Values>::make();
    const auto continuation = producer;  // clang 14 cannot capture a structured binding
    auto getCurrentValues = [keys...] { return Values(keys.value()...); };
    if (initial) continuation.yield(getCurrentValues());
    detail::Observations observations;
    (observations.push_back(std::make_shared<PrefsObservation>(
         keys,
         [getCurrentValues, continuation](const SuiteKeyPair&, const BaseChange&) {
             continuation.yield(getCurrentValues());
         })),
     ...);
    detail::invalidateOnTermination<Values>(continuation, observations);
    for (const auto& observation : observations) observation->start(ObservationOptions::none());
    return stream;
}

// One element per change of any of the keys; with `initial`, one element at once (none
// for no keys).
AsyncStream<std::tuple<>> updates(const std::vector<std::reference_wrapper<const AnyKey>>& keys,
                                  bool initial);

}  // namespace vorela::Prefs
