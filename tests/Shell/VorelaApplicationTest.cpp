#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "Platform/Ipc/Fake/FakeSingleInstance.h"
#include "Platform/Loop/Fake/ManualRunLoop.h"
#include "Script/ScriptLibrary.h"
#include "Shell/VorelaApplication.h"
#include "Support/QtTestApp.h"

namespace vorela {
namespace {

// A later start while Vorela runs: it must hand its request over and end without
// touching the library file, which belongs to the running instance.
class VorelaApplicationTest : public ::testing::Test {
protected:
    VorelaApplicationTest() {
        char pattern[] = "/tmp/vorela-app-test-XXXXXX";
        data_ = mkdtemp(pattern);
        setenv("XDG_DATA_HOME", data_.c_str(), 1);
        running_.claim([this](InstanceMessage message) { received_.push_back(message); });
    }
    ~VorelaApplicationTest() override {
        std::error_code error;
        std::filesystem::remove_all(data_, error);
    }

    QApplication& app_ = testing::qtTestApp();
    std::filesystem::path data_;
    ManualRunLoop loop_;
    FakeInstanceBus bus_{loop_};
    FakeSingleInstance running_{bus_};
    std::vector<InstanceMessage> received_;
    std::vector<std::string> told_;
    VorelaApplication::TellUser tellUser() {
        return [this](const std::string& text) { told_.push_back(text); };
    }
};

TEST_F(VorelaApplicationTest, ALaterStartHandsItsRequestToTheRunningOneAndEnds) {
    struct Case {
        const char* name;
        std::vector<std::string> arguments;
        InstanceMessage expected;
    };
    const Case cases[] = {
        {"prompter link",
         {"prompter://read?text=Hola"},
         {InstanceMessage::Kind::openUrl, "prompter://read?text=Hola"}},
        // The offscreen platform has no selection: the running one reports the empty text.
        {"selected text", {"--read-selection"}, {InstanceMessage::Kind::readText, ""}},
        {"plain start", {}, {InstanceMessage::Kind::activate, ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        received_.clear();
        VorelaApplication later(app_, std::make_unique<FakeSingleInstance>(bus_), tellUser());
        EXPECT_EQ(later.run(c.arguments), 0);
        loop_.runUntilIdle();
        ASSERT_EQ(received_.size(), 1u);
        EXPECT_EQ(received_[0], c.expected);
    }
    EXPECT_FALSE(std::filesystem::exists(ScriptLibrary::storeLocation()))
        << "the later start opened the library";
}

// A start that could not deliver its request must not claim success: the desktop (or
// the user's script) would take the link as handled. The user is told why.
TEST_F(VorelaApplicationTest, AnUndeliveredRequestEndsWithAFailureStatus) {
    class Unreachable final : public SingleInstance {
    public:
        InstanceRole claim(MessageHandler) override { return InstanceRole::secondary; }
        std::optional<HandOffError> handOff(const InstanceMessage&) override {
            return HandOffError{HandOffError::Kind::notConfirmed, {}};
        }
    };
    VorelaApplication later(app_, std::make_unique<Unreachable>(), tellUser());
    EXPECT_EQ(later.run({"prompter://play"}), 1);
    const std::vector<std::string> expected{
        HandOffError{HandOffError::Kind::notConfirmed, {}}.description()};
    EXPECT_EQ(told_, expected);
    EXPECT_FALSE(std::filesystem::exists(ScriptLibrary::storeLocation()));
}

}  // namespace
}  // namespace vorela
