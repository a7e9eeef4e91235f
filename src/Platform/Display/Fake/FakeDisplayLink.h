#pragma once

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "Platform/Display/DisplayLink.h"

namespace vorela {

// A display link that a test fires by hand with explicit time stamps. Links made by a
// FakeDisplayLinkSource stay listed there while they live.
class FakeDisplayLink final : public DisplayLink {
public:
    using Registry = std::shared_ptr<std::vector<FakeDisplayLink*>>;

    explicit FakeDisplayLink(FrameCallback onFrame, Registry registry = nullptr)
        : onFrame_(std::move(onFrame)), registry_(std::move(registry)) {
        if (registry_) registry_->push_back(this);
    }
    ~FakeDisplayLink() override {
        if (registry_) std::erase(*registry_, this);
    }

    void fire(double timestampSeconds) const {
        if (onFrame_) onFrame_(timestampSeconds);
    }

private:
    FrameCallback onFrame_;
    Registry registry_;
};

// A view stand-in that makes fake links and fires every link still alive.
class FakeDisplayLinkSource final : public DisplayLinkSource {
public:
    std::unique_ptr<DisplayLink> makeDisplayLink(DisplayLink::FrameCallback onFrame) override {
        ++madeCount_;
        return std::make_unique<FakeDisplayLink>(std::move(onFrame), live_);
    }

    // --- test controls ---
    // Delivers one frame with this time stamp to every live link.
    void fire(double timestampSeconds) const {
        const auto links = *live_;  // a frame callback may destroy a link
        for (auto* link : links) {
            if (std::find(live_->begin(), live_->end(), link) != live_->end()) {
                link->fire(timestampSeconds);
            }
        }
    }
    int madeCount() const { return madeCount_; }
    std::size_t liveCount() const { return live_->size(); }

private:
    FakeDisplayLink::Registry live_ = std::make_shared<std::vector<FakeDisplayLink*>>();
    int madeCount_ = 0;
};

}  // namespace vorela
