#pragma once

#include <memory>
#include <mutex>
#include <utility>

#include "Platform/Loop/RunLoop.h"

namespace vorela {

// A way back to the main run loop for callbacks that may outlive their owner (and with it
// the loop the owner was given): the owner cuts the link when it goes, after which post()
// drops its task and isMainThread() answers false. Any thread; share it by shared_ptr.
class LoopLink {
public:
    explicit LoopLink(RunLoop& loop) : loop_(&loop) {}

    static std::shared_ptr<LoopLink> make(RunLoop& loop) {
        return std::make_shared<LoopLink>(loop);
    }

    // Returns whether the task was handed to the loop.
    bool post(RunLoop::Task task) {
        std::lock_guard lock(mutex_);
        if (!loop_) return false;
        loop_->post(std::move(task));
        return true;
    }
    bool isMainThread() const {
        std::lock_guard lock(mutex_);
        return loop_ && loop_->isMainThread();
    }
    void cut() {
        std::lock_guard lock(mutex_);
        loop_ = nullptr;
    }

private:
    mutable std::mutex mutex_;
    RunLoop* loop_ = nullptr;
};

// Holds a link and cuts it when destroyed: declare it in the owner.
class LoopLinkOwner {
public:
    explicit LoopLinkOwner(RunLoop& loop) : link_(LoopLink::make(loop)) {}
    ~LoopLinkOwner() { link_->cut(); }
    LoopLinkOwner(const LoopLinkOwner&) = delete;
    LoopLinkOwner& operator=(const LoopLinkOwner&) = delete;
    LoopLinkOwner(LoopLinkOwner&&) = delete;
    LoopLinkOwner& operator=(LoopLinkOwner&&) = delete;

    const std::shared_ptr<LoopLink>& link() const { return link_; }

private:
    std::shared_ptr<LoopLink> link_;
};

}  // namespace vorela
