#include <gtest/gtest.h>

#include "Platform/LoginItem/Fake/FakeLoginItem.h"
#include "Settings/LaunchAtLogin.h"

namespace vorela {
namespace {

TEST(LaunchAtLoginTest, StartsOnOnlyWhenTheItemIsEnabled) {
    struct Case {
        const char* name;
        LoginItemStatus status;
        bool expected;
    } cases[] = {
        {"enabled", LoginItemStatus::enabled, true},
        {"not registered", LoginItemStatus::notRegistered, false},
        {"requires approval", LoginItemStatus::requiresApproval, false},
        {"not found", LoginItemStatus::notFound, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeLoginItem item;
        item.setStatus(c.status);
        LaunchAtLogin model(item);
        EXPECT_EQ(model.launchAtLogin(), c.expected);
        EXPECT_FALSE(model.launchError());
    }
}

TEST(LaunchAtLoginTest, RegistersAndRemovesAndClearsAnEarlierError) {
    FakeLoginItem item;
    LaunchAtLogin model(item);
    item.setFailure(LoginItemFailure{LoginItemError::cannotWrite, "sin espacio"});
    model.setLaunchAtLogin(true);
    ASSERT_TRUE(model.launchError());

    item.setFailure(std::nullopt);
    model.setLaunchAtLogin(true);
    EXPECT_TRUE(model.launchAtLogin());
    EXPECT_FALSE(model.launchError());
    EXPECT_EQ(item.status(), LoginItemStatus::enabled);

    model.setLaunchAtLogin(false);
    EXPECT_FALSE(model.launchAtLogin());
    EXPECT_EQ(item.status(), LoginItemStatus::notRegistered);
}

// A refused registration used to be followed by a removal of the entry that was never
// made; that removal succeeded and wiped the error, so the user saw no failure at all.
TEST(LaunchAtLoginTest, AFailedRequestKeepsItsErrorAndShowsTheRealStatus) {
    FakeLoginItem item;
    LaunchAtLogin model(item);
    item.setFailure(LoginItemFailure{LoginItemError::cannotWrite, "sin permiso"});
    model.setLaunchAtLogin(true);
    EXPECT_FALSE(model.launchAtLogin()) << "the switch returns to the real status";
    EXPECT_EQ(model.launchError(),
              "No se pudo crear la entrada de inicio automático. (sin permiso)");
    EXPECT_EQ(item.registerCalls, 1);
    EXPECT_EQ(item.unregisterCalls, 0) << "correcting the switch is not a new request";

    item.setStatus(LoginItemStatus::enabled);
    item.setFailure(LoginItemFailure{LoginItemError::cannotRemove, {}});
    model.setLaunchAtLogin(false);
    EXPECT_TRUE(model.launchAtLogin());
    EXPECT_EQ(model.launchError(), "No se pudo quitar la entrada de inicio automático.");
}

}  // namespace
}  // namespace vorela
