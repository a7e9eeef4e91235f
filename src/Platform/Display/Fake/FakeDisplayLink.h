#pragma once

#include <algorithm>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

#include "Platform/Display/DisplayLink.h"

namespace vorela {

// A display link that a test fires by hand with explicit time stamps. Links made by a
// FakeDisplayLinkSource stay listed there while they live, and share its idea of the
// present: the time stamp of the last frame it fired, delivered or not.
class FakeDisplayLink final : public DisplayLink {
public:
    struct Registry {
        std::vector<FakeDisplayLink*> live;
        double now = std::numeric_limits<double>::quiet_NaN();  // nothing fired yet
    };

    explicit FakeDisplayLink(FrameCallback onFrame,
                             std::shared_ptr<Registry> registry = std::make_shared<Registry>())
        : onFrame_(std::move(onFrame)), registry_(std::move(registry)) {
        registry_->live.push_back(this);
    }
    ~FakeDisplayLink() override { std::erase(registry_->live, this); }

    void setPaused(bool paused) override { isPaused_ = paused; }
    bool isPaused() const override { return isPaused_; }
    double timestampNow() const override { return registry_->now; }

    // A paused link ignores the frame, as a stopped display link delivers none.
    void fire(double timestampSeconds) const {
        registry_->now = timestampSeconds;
        if (onFrame_ && !isPaused_) onFrame_(timestampSeconds);
    }

private:
    FrameCallback onFrame_;
    bool isPaused_ = false;
    std::shared_ptr<Registry> registry_;
};

// A view stand-in that makes fake links and fires every link still alive.
class FakeDisplayLinkSource final : public DisplayLinkSource {
public:
    std::unique_ptr<DisplayLink> makeDisplayLink(DisplayLink::FrameCallback onFrame) override {
        ++madeCount_;
        return std::make_unique<FakeDisplayLink>(std::move(onFrame), registry_);
    }

    // --- test controls ---
    // The moment moves on to this time stamp, and every live link that is not paused
    // gets a frame with it.
    void fire(double timestampSeconds) const {
        registry_->now = timestampSeconds;
        const auto links = registry_->live;  // a frame callback may destroy a link
        for (auto* link : links) {
            const auto& live = registry_->live;
            if (std::find(live.begin(), live.end(), link) != live.end()) {
                link->fire(timestampSeconds);
            }
        }
    }
    int madeCount() const { return madeCount_; }
    std::size_t liveCount() const { return registry_->live.size(); }
    // Live links that deliver frames.
    std::size_t runningCount() const {
        return static_cast<std::size_t>(
            std::count_if(registry_->live.begin(), registry_->live.end(),
                          [](const FakeDisplayLink* l) { return !l->isPaused(); }));
    }

private:
    std::shared_ptr<FakeDisplayLink::Registry> registry_ =
        std::make_shared<FakeDisplayLink::Registry>();
    int madeCount_ = 0;
};

}  // namespace vorela
