#include "App/SampleCollector.h"

#include <algorithm>
#include <cmath>

namespace vorela {

void SampleCollector::append(double decibels) {
    std::lock_guard guard(lock_);
    values_.push_back(decibels);
}

std::size_t SampleCollector::count() const {
    std::lock_guard guard(lock_);
    return values_.size();
}

std::optional<double> SampleCollector::percentile(double p) const {
    std::vector<double> sorted;
    {
        std::lock_guard guard(lock_);
        if (values_.empty()) return std::nullopt;
        sorted = values_;
    }
    std::sort(sorted.begin(), sorted.end());
    const double last = static_cast<double>(sorted.size() - 1);
    // A p outside 0...1 (or NaN) still names a collected value.
    const double rank = std::round(std::clamp(std::isnan(p) ? 0.0 : p, 0.0, 1.0) * last);
    return sorted[static_cast<std::size_t>(rank)];
}

}  // namespace vorela
