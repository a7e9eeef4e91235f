#pragma once

#include <mutex>
#include <optional>
#include <vector>

namespace vorela {

// The levels a calibration hears: one decibel value per audio buffer, appended on the
// audio tap thread and read on the main thread once the consumer is gone. Every call
// takes the collector's own lock and nothing else.
class SampleCollector final {
public:
    SampleCollector() = default;
    ~SampleCollector() = default;
    SampleCollector(const SampleCollector&) = delete;
    SampleCollector& operator=(const SampleCollector&) = delete;
    SampleCollector(SampleCollector&&) = delete;
    SampleCollector& operator=(SampleCollector&&) = delete;

    void append(double decibels);
    std::size_t count() const;
    // The value at rank round(p * (count - 1)) of the sorted values, halves away from
    // zero; nothing when no value was collected. p is 0...1.
    std::optional<double> percentile(double p) const;

private:
    mutable std::mutex lock_;
    std::vector<double> values_;
};

}  // namespace vorela
