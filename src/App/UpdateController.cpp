#include "App/UpdateController.h"

#include "Platform/Bundle/Bundle.h"
#include "Platform/Updates/Updater.h"
#include "Prefs/Prefs.h"

namespace vorela {

namespace Prefs::Keys {
const Key<bool>& automaticUpdates() {
    static const Key<bool> key("automaticUpdates", true);
    return key;
}
}  // namespace Prefs::Keys

namespace {

// A key the release process has not filled in yet starts with this text.
constexpr std::string_view kPlaceholderKeyPrefix = "REEMPLAZAR";

std::string infoText(const UpdateController::InfoLookup& info, std::string_view key) {
    if (!info) return {};
    return info(key).value_or(std::string());
}

}  // namespace

UpdateController::InfoLookup UpdateController::defaultInfo() {
    return [](std::string_view key) { return Bundle::infoValue(key); };
}

UpdateController::UpdateController(UpdateFramework& framework, const InfoLookup& info) {
    const std::string feed = infoText(info, "SUFeedURL");
    const std::string publicKey = infoText(info, "SUPublicEDKey");
    if (feed.empty() || publicKey.empty()) return;
    if (publicKey.starts_with(kPlaceholderKeyPrefix)) return;
    updaterController_ = framework.startUpdater();
    // The build claims a channel but carries no update component: behave as without one.
    if (!updaterController_) return;
    isConfigured_ = true;
    updaterController_->setAutomaticallyChecksForUpdates(
        Prefs::get(Prefs::Keys::automaticUpdates()));
    updaterController_->setUpdateCheckInterval(kCheckInterval);
}

UpdateController::~UpdateController() = default;

std::string UpdateController::versionDescription() { return versionDescription(defaultInfo()); }

std::string UpdateController::versionDescription(const InfoLookup& info) {
    const auto part = [&info](std::string_view key) {
        auto value = info ? info(key) : std::nullopt;
        return value ? *value : std::string("?");
    };
    return part("CFBundleShortVersionString") + " (" + part("CFBundleVersion") + ")";
}

}  // namespace vorela
