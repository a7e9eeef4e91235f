#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "Platform/Log/Log.h"
#include "Prefs/Key.h"

namespace vorela {

class Updater;
class UpdateFramework;

// Decides once, at start-up, whether this build has an update channel and if so starts
// the updater with the user's choice of automatic checks, checking weekly. A build
// without a feed address or public key, or with the placeholder key, runs without any
// update machinery and without an error. Main thread only.
class UpdateController {
public:
    // Reads a value of the application's information dictionary.
    using InfoLookup = std::function<std::optional<std::string>(std::string_view key)>;

    // Seven days, in seconds, between scheduled checks.
    static constexpr double kCheckInterval = 604800;

    // framework is asked for an updater only when the channel is configured.
    explicit UpdateController(UpdateFramework& framework, const InfoLookup& info = defaultInfo());
    ~UpdateController();
    UpdateController(const UpdateController&) = delete;
    UpdateController& operator=(const UpdateController&) = delete;
    UpdateController(UpdateController&&) = delete;
    UpdateController& operator=(UpdateController&&) = delete;

    // The running updater; null when the build has no update channel.
    Updater* updaterController() const { return updaterController_.get(); }
    bool isConfigured() const { return isConfigured_; }

    // "<short version> (<build>)", each part "?" when missing.
    static std::string versionDescription();
    static std::string versionDescription(const InfoLookup& info);

    static InfoLookup defaultInfo();

private:
    std::unique_ptr<Updater> updaterController_;
    Log logger_{"updates"};
    bool isConfigured_ = false;
};

namespace Prefs::Keys {
// Scheduled update checks; read once at start-up.
const Key<bool>& automaticUpdates();
}  // namespace Prefs::Keys

}  // namespace vorela
