#include "Prefs/CloudSync.h"

#include <mutex>

namespace vorela::Prefs {

namespace {

class NoCloudSync final : public CloudSync {
public:
    void addKey(const AnyKey&) override {}
};

std::mutex& cloudMutex() {
    static std::mutex m;
    return m;
}

std::shared_ptr<CloudSync>& cloudSlot() {
    static std::shared_ptr<CloudSync> slot = std::make_shared<NoCloudSync>();
    return slot;
}

}  // namespace

CloudSync& cloud() {
    std::lock_guard lock(cloudMutex());
    return *cloudSlot();
}

std::shared_ptr<CloudSync> setCloud(std::shared_ptr<CloudSync> sync) {
    std::lock_guard lock(cloudMutex());
    if (!sync) sync = std::make_shared<NoCloudSync>();
    return std::exchange(cloudSlot(), std::move(sync));
}

}  // namespace vorela::Prefs
