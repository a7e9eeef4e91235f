#include "Support/FakeTextSurface.h"

#include <cmath>

namespace vorela {

FakeTextSurface::FakeTextSurface(long tokenCount, double pitch, double fontSize)
    : fontSize_(fontSize) {
    layOut(tokenCount, pitch);
}

void FakeTextSurface::layOut(long tokenCount, double pitch) {
    offsets_.clear();
    for (long i = 0; i < tokenCount; ++i)
        offsets_.emplace_back((static_cast<double>(i) + 0.5) * pitch);
    contentHeight_ = static_cast<double>(tokenCount) * pitch;
}

void FakeTextSurface::setOffsets(std::vector<std::optional<double>> offsets, double contentHeight) {
    offsets_ = std::move(offsets);
    contentHeight_ = contentHeight;
}

void FakeTextSurface::setScrollY(double y) {
    if (y == scrollY_) return;
    scrollY_ = y;
    ++redraws_;
}

std::optional<double> FakeTextSurface::scrollOffsetForToken(long index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= offsets_.size()) return std::nullopt;
    return offsets_[static_cast<std::size_t>(index)];
}

std::optional<long> FakeTextSurface::tokenIndexAtReadingLine() const {
    // Like the view's line search: the last word whose offset is at or above the
    // scroll position, else the first word.
    std::optional<long> found;
    for (std::size_t i = 0; i < offsets_.size(); ++i) {
        if (!offsets_[i]) continue;
        if (!found || *offsets_[i] <= scrollY_) found = static_cast<long>(i);
        if (*offsets_[i] > scrollY_) break;
    }
    return found;
}

std::unique_ptr<DisplayLink> FakeTextSurface::makeDisplayLink(DisplayLink::FrameCallback onFrame) {
    return frames_.makeDisplayLink(std::move(onFrame));
}

double FakeTextSurface::runFrames(double start, double seconds, double rate) const {
    const long frames = std::lround(seconds * rate);
    double t = start;
    for (long i = 0; i < frames; ++i) {
        t = start + static_cast<double>(i + 1) / rate;
        fire(t);
    }
    return t;
}

}  // namespace vorela
