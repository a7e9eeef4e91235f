#include <gtest/gtest.h>

#include <map>
#include <string>

#include "App/UpdateController.h"
#include "Platform/Bundle/Bundle.h"
#include "Platform/Defaults/UserDefaults.h"
#include "Platform/Loop/Fake/ManualRunLoop.h"
#include "Platform/Updates/Fake/FakeUpdater.h"
#include "Prefs/Prefs.h"

namespace vorela {
namespace {

constexpr double kDay = 86400;

UpdateController::InfoLookup infoWith(std::map<std::string, std::string> values) {
    return [values = std::move(values)](std::string_view key) -> std::optional<std::string> {
        const auto it = values.find(std::string(key));
        if (it == values.end()) return std::nullopt;
        return it->second;
    };
}

class UpdateControllerTest : public ::testing::Test {
protected:
    UpdateControllerTest() { UserDefaults::setStandard(defaults_); }
    ~UpdateControllerTest() override { UserDefaults::setStandard(nullptr); }

    ManualRunLoop loop_;
    FakeUpdateFramework framework_{loop_};
    std::shared_ptr<UserDefaults> defaults_ = UserDefaults::inMemory();
};

TEST_F(UpdateControllerTest, ChannelNeedsFeedAndARealKey) {
    const struct {
        const char* name;
        std::map<std::string, std::string> info;
        bool configured;
    } cases[] = {
        {"both present",
         {{"SUFeedURL", "https://example.org/appcast.xml"}, {"SUPublicEDKey", "k3y"}},
         true},
        {"placeholder key",
         {{"SUFeedURL", "https://example.org/a.xml"}, {"SUPublicEDKey", "REEMPLAZAR_con_la_clave"}},
         false},
        {"placeholder prefix alone", {{"SUFeedURL", "f"}, {"SUPublicEDKey", "REEMPLAZAR"}}, false},
        {"key without feed", {{"SUPublicEDKey", "k3y"}}, false},
        {"feed without key", {{"SUFeedURL", "f"}}, false},
        {"empty feed", {{"SUFeedURL", ""}, {"SUPublicEDKey", "k3y"}}, false},
        {"the real bundle of this build", {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const int startsBefore = framework_.startCount();
        const UpdateController controller(
            framework_, c.info.empty() ? UpdateController::defaultInfo() : infoWith(c.info));
        EXPECT_EQ(controller.isConfigured(), c.configured);
        EXPECT_EQ(controller.updaterController() != nullptr, c.configured);
        EXPECT_EQ(framework_.startCount() - startsBefore, c.configured ? 1 : 0)
            << "no update machinery at all without a channel";
    }
}

TEST_F(UpdateControllerTest, ChecksWeeklyUnlessTheUserTurnedAutomaticChecksOff) {
    const auto info = infoWith({{"SUFeedURL", "f"}, {"SUPublicEDKey", "k"}});
    {
        const UpdateController controller(framework_, info);
        FakeUpdater* updater = framework_.lastUpdater();
        EXPECT_TRUE(updater->automaticallyChecksForUpdates());
        EXPECT_EQ(updater->updateCheckInterval(), 7 * kDay);
        loop_.advanceBy(7 * kDay - 1);
        EXPECT_EQ(updater->scheduledCheckCount(), 0) << "not on the framework's daily default";
        loop_.advanceBy(1);
        EXPECT_EQ(updater->scheduledCheckCount(), 1);
    }
    EXPECT_EQ(loop_.pendingTaskCount(), 0u) << "releasing the controller releases the updater";

    Prefs::set(Prefs::Keys::automaticUpdates(), false);
    const UpdateController controller(framework_, info);
    FakeUpdater* updater = framework_.lastUpdater();
    loop_.advanceBy(30 * kDay);
    EXPECT_EQ(updater->scheduledCheckCount(), 0);
    ASSERT_TRUE(controller.updaterController()->canCheckForUpdates());
    controller.updaterController()->checkForUpdates();
    EXPECT_EQ(updater->userCheckCount(), 1) << "a check from the settings still works";

    // Read only at start-up: a later change waits for the next launch.
    Prefs::set(Prefs::Keys::automaticUpdates(), true);
    loop_.advanceBy(30 * kDay);
    EXPECT_EQ(updater->scheduledCheckCount(), 0);
}

TEST_F(UpdateControllerTest, VersionDescriptionMarksMissingParts) {
    EXPECT_EQ(UpdateController::versionDescription(
                  infoWith({{"CFBundleShortVersionString", "1.4"}, {"CFBundleVersion", "212"}})),
              "1.4 (212)");
    EXPECT_EQ(
        UpdateController::versionDescription(infoWith({{"CFBundleShortVersionString", "1.4"}})),
        "1.4 (?)");
    EXPECT_EQ(UpdateController::versionDescription(infoWith({})), "? (?)");
    EXPECT_EQ(UpdateController::versionDescription(),
              Bundle::shortVersion() + " (" + Bundle::buildVersion() + ")");
}

}  // namespace
}  // namespace vorela
