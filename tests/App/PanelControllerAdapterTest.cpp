#include "App/AppStateEnvironment.h"
#include "App/PanelController.h"
#include "App/PanelControllerAdapter.h"
#include "Platform/Input/Fake/FakeInput.h"
#include "Platform/Screens/Fake/FakeScreens.h"
#include "Platform/Windows/Fake/FakePanelWindow.h"

namespace vorela {
namespace {

// The shell's windows and menu see the controller only through the adapter: what they
// show must follow every change of the panel, whoever made it.
class PanelControllerAdapterTest : public testing::AppStateTest {
protected:
    PanelControllerAdapterTest() {
        screens_.setScreens({FakeScreens::makeScreen("Interna", {0, 0, 1440, 900}, "1")});
        controller_ = std::make_unique<PanelController>(
            PanelController::Services{makeState(), loop_, screens_, input_, windows_});
        adapter_ = std::make_unique<PanelControllerAdapter>(*controller_);
    }

    FakeScreens screens_;
    FakeInput input_;
    FakePanelWindowFactory windows_;
    std::unique_ptr<PanelController> controller_;
    std::unique_ptr<PanelControllerAdapter> adapter_;
};

TEST_F(PanelControllerAdapterTest, ObserversHearEveryChangeTheShellShowsUntilCancelled) {
    int changes = 0;
    Subscription observation = adapter_->observeChanges([&] { ++changes; });

    adapter_->show();
    EXPECT_TRUE(adapter_->isVisible());
    EXPECT_GE(changes, 1) << "shown";

    changes = 0;
    controller_->setMode(PanelMode::fullscreen);
    EXPECT_EQ(adapter_->mode(), PanelMode::fullscreen);
    EXPECT_GE(changes, 1) << "a mode set elsewhere";

    changes = 0;
    screens_.setScreens({FakeScreens::makeScreen("Interna", {0, 0, 1440, 900}, "1"),
                         FakeScreens::makeScreen("Externa", {1440, 0, 1920, 1080}, "2")});
    controller_->refreshScreens();
    EXPECT_EQ(adapter_->availableScreens(),
              (std::vector<PanelScreen>{{"1", "Interna"}, {"2", "Externa"}}));
    EXPECT_GE(changes, 1) << "a screen connected";

    observation.cancel();
    changes = 0;
    adapter_->toggle();
    EXPECT_FALSE(adapter_->isVisible());
    EXPECT_EQ(changes, 0);
}

}  // namespace
}  // namespace vorela
