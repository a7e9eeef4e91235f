#pragma once

#include "Platform/Updates/Updater.h"

namespace vorela {

// Linux builds carry no update component: no updater is ever started, so the update
// controller runs without an update channel.
class NullUpdateFramework final : public UpdateFramework {
public:
    std::unique_ptr<Updater> startUpdater() override;
};

}  // namespace vorela
