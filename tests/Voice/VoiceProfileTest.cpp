#include <gtest/gtest.h>

#include "Platform/Defaults/UserDefaults.h"
#include "Voice/VoiceProfile.h"

namespace vorela {
namespace {

class VoiceProfileTest : public ::testing::Test {
protected:
    VoiceProfileTest() { UserDefaults::setStandard(defaults_); }
    ~VoiceProfileTest() override { UserDefaults::setStandard(previous_); }

    std::shared_ptr<UserDefaults> previous_ = UserDefaults::standard();
    std::shared_ptr<UserDefaults> defaults_ = UserDefaults::inMemory();
};

TEST_F(VoiceProfileTest, AFreshInstallationHasDefaultsAndNoMeasurements) {
    const auto profile = VoiceProfile::current();
    EXPECT_EQ(profile, (VoiceProfile{-50, 50, std::nullopt, std::nullopt, std::nullopt}));
    EXPECT_EQ(profile.tuned(MatcherConfig{}), MatcherConfig{});
}

TEST_F(VoiceProfileTest, SavesUnderItsFiveKeysAndReadsBack) {
    const VoiceProfile profile{-61.5, 72, 151.0, 0.08, Date{1'700'000'000.0}};
    profile.save();
    EXPECT_EQ(VoiceProfile::current(), profile);
    EXPECT_EQ(defaults_->object("noiseFloor"), PropertyList(-61.5));
    EXPECT_EQ(defaults_->object("micSensitivity"), PropertyList(72.0));
    EXPECT_EQ(defaults_->object("measuredWPM"), PropertyList(151.0));
    EXPECT_EQ(defaults_->object("measuredWER"), PropertyList(0.08));
    EXPECT_EQ(defaults_->object("calibratedAt"), PropertyList(Date{1'700'000'000.0}));
}

TEST_F(VoiceProfileTest, SavingWithoutMeasurementsRemovesStoredOnes) {
    VoiceProfile{-40, 30, 120.0, 0.2, Date{1'700'000'000.0}}.save();
    VoiceProfile{-40, 30, std::nullopt, std::nullopt, std::nullopt}.save();
    EXPECT_EQ(defaults_->object("calibratedAt"), std::nullopt);
    EXPECT_EQ(defaults_->object("measuredWER"), std::nullopt);
    EXPECT_EQ(VoiceProfile::current().calibratedAt, std::nullopt);
}

TEST(VoiceProfileTuningTest, WordErrorRateBandsAdjustTheStartUpConfiguration) {
    const MatcherConfig base;
    struct Case {
        const char* name;
        std::optional<double> wer;
        double thetaLock, thetaJump, thetaRecover, gapPenalty;
    } cases[] = {
        {"no measurement", std::nullopt, 0.55, 0.75, 0.65, 0.15},
        {"poor", 0.4, 0.45, 0.75, 0.55, 0.1},
        {"exactly 0.25 is poor", 0.25, 0.45, 0.75, 0.55, 0.1},
        {"just under 0.25", 0.2499, 0.5, 0.75, 0.65, 0.15},
        {"exactly 0.12 is middling", 0.12, 0.5, 0.75, 0.65, 0.15},
        {"just under 0.12", 0.1199, 0.55, 0.75, 0.65, 0.15},
        {"just over 0.05", 0.0501, 0.55, 0.75, 0.65, 0.15},
        {"exactly 0.05 is very good", 0.05, 0.6, 0.8, 0.65, 0.15},
        {"perfect", 0.0, 0.6, 0.8, 0.65, 0.15},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        VoiceProfile profile;
        profile.measuredWER = c.wer;
        const MatcherConfig tuned = profile.tuned(base);
        EXPECT_DOUBLE_EQ(tuned.thetaLock, c.thetaLock);
        EXPECT_DOUBLE_EQ(tuned.thetaJump, c.thetaJump);
        EXPECT_DOUBLE_EQ(tuned.thetaRecover, c.thetaRecover);
        EXPECT_DOUBLE_EQ(tuned.gapPenalty, c.gapPenalty);
        // The twelve other fields are copied unchanged.
        MatcherConfig rest = tuned;
        rest.thetaLock = base.thetaLock;
        rest.thetaJump = base.thetaJump;
        rest.thetaRecover = base.thetaRecover;
        rest.gapPenalty = base.gapPenalty;
        EXPECT_EQ(rest, base);
    }
}

TEST(VoiceProfileTuningTest, StepsStopAtTheirFloorsAndCeilings) {
    MatcherConfig low;
    low.thetaLock = 0.45;
    low.thetaRecover = 0.52;
    low.gapPenalty = 0.08;
    VoiceProfile poor;
    poor.measuredWER = 0.3;
    auto tuned = poor.tuned(low);
    EXPECT_DOUBLE_EQ(tuned.thetaLock, 0.42);
    EXPECT_DOUBLE_EQ(tuned.thetaRecover, 0.5);
    EXPECT_DOUBLE_EQ(tuned.gapPenalty, 0.05);

    VoiceProfile middling;
    middling.measuredWER = 0.2;
    MatcherConfig lowLock;
    lowLock.thetaLock = 0.5;
    EXPECT_DOUBLE_EQ(middling.tuned(lowLock).thetaLock, 0.48);

    MatcherConfig high;
    high.thetaLock = 0.68;
    high.thetaJump = 0.88;
    VoiceProfile veryGood;
    veryGood.measuredWER = 0.01;
    tuned = veryGood.tuned(high);
    EXPECT_DOUBLE_EQ(tuned.thetaLock, 0.7);
    EXPECT_DOUBLE_EQ(tuned.thetaJump, 0.9);

    // Tuning the start-up configuration again after a new measurement does not build on
    // the previous result.
    const MatcherConfig base;
    const auto first = poor.tuned(base);
    EXPECT_EQ(veryGood.tuned(base), veryGood.tuned(MatcherConfig{}));
    EXPECT_NE(poor.tuned(first), first);
    EXPECT_EQ(poor.tuned(base), first);
}

}  // namespace
}  // namespace vorela
