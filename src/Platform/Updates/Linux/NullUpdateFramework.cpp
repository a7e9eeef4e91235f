#include "Platform/Updates/Linux/NullUpdateFramework.h"

namespace vorela {

std::unique_ptr<Updater> NullUpdateFramework::startUpdater() { return nullptr; }

}  // namespace vorela
