#include <gtest/gtest.h>

#include "Platform/Cloud/Fake/FakeCloudKeyValueStore.h"
#include "Platform/Loop/Fake/ManualRunLoop.h"
#include "Prefs/CloudSynchronizer.h"
#include "Prefs/Prefs.h"

namespace vorela::Prefs {
namespace {

constexpr double kLatency = 0.5;
constexpr std::size_t kQuotaBytes = 4096;

class CloudSynchronizerTest : public ::testing::Test {
protected:
    std::shared_ptr<CloudSynchronizer> start() {
        return CloudSynchronizer::make(store_, loop_, [this](auto task) { loop_.post(task); });
    }
    // Lets queued work, the store's round trips and the main-thread writes all finish.
    void settle() {
        for (int i = 0; i < 4; ++i) loop_.advanceBy(kLatency);
    }
    Date now() const { return loop_.clock().now(); }
    PropertyList record(double secondsFromNow, PropertyList value) const {
        return PropertyList(PlistArray{PropertyList(Date{now().secondsSince1970 + secondsFromNow}),
                                       std::move(value)});
    }
    std::optional<Date> localStamp(const std::string& name) const {
        auto o = suite_->object(name + CloudSynchronizer::kTimestampSuffix);
        return o && o->date() ? std::optional<Date>(*o->date()) : std::nullopt;
    }

    ManualRunLoop loop_;
    std::shared_ptr<FakeCloudKeyValueStore> store_ =
        std::make_shared<FakeCloudKeyValueStore>(loop_, kLatency, kQuotaBytes);
    std::shared_ptr<UserDefaults> suite_ = UserDefaults::inMemory();
    Key<int> wpm_{"wpm", 140, suite_};
    Key<std::string> font_{"font", std::string("sans"), suite_};
};

TEST_F(CloudSynchronizerTest, ALocalChangeIsPushedWithItsTimestamp) {
    auto sync = start();
    sync->addKey(wpm_);
    settle();
    EXPECT_FALSE(store_->serviceObject("wpm")) << "nothing to push at the default";
    const Date before = now();
    set(wpm_, 150);
    settle();
    const auto pushed = store_->serviceObject("wpm");
    ASSERT_TRUE(pushed && pushed->array() && pushed->array()->size() == 2);
    EXPECT_EQ(pushed->array()->at(1), PropertyList(150));
    ASSERT_TRUE(localStamp("wpm"));
    EXPECT_EQ(pushed->array()->at(0), PropertyList(*localStamp("wpm")))
        << "both sides carry the push's start time";
    EXPECT_GE(*localStamp("wpm"), before);

    suite_->set("wpm", PropertyList(150));
    suite_->remove("wpm");
    settle();
    ASSERT_TRUE(store_->serviceObject("wpm"));
    EXPECT_EQ(store_->serviceObject("wpm")->array()->at(1), PropertyList(140))
        << "a removed entry pushes the registered default in force";
}

TEST_F(CloudSynchronizerTest, ARemoteChangeIsPulledWithoutEchoing) {
    auto sync = start();
    sync->addKey(wpm_);
    set(wpm_, 150);
    settle();
    loop_.advanceBy(10.0);
    const PropertyList theirs = record(-1, PropertyList(180));
    store_->writeFromAnotherDevice("wpm", theirs);
    settle();
    EXPECT_EQ(get(wpm_), 180);
    EXPECT_EQ(store_->serviceObject("wpm"), theirs) << "the pulled value did not travel back";
    EXPECT_GT(*localStamp("wpm"), *theirs.array()->at(0).date())
        << "the local stamp is the pull's start time";
}

TEST_F(CloudSynchronizerTest, WhenBothChangedTheLaterTimestampWins) {
    struct Case {
        const char* name;
        double localOffset;   // seconds from now
        double remoteOffset;  // seconds from now
        bool valueDiffersFromDefault;
        int expected;
    };
    const Case cases[] = {
        {"local later: pushed on add", 5, 1, true, 150},
        {"remote later: pulled on add", 1, 5, true, 200},
        {"equal stamps: remote wins on add", 3, 3, true, 200},
        {"at the default, remote later: pulled", 1, 5, false, 200},
        {"at the default, local later: nothing", 5, 1, false, 140},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto store = std::make_shared<FakeCloudKeyValueStore>(loop_, kLatency, kQuotaBytes);
        store_ = store;
        suite_->removeAll();
        if (c.valueDiffersFromDefault) set(wpm_, 150);
        suite_->set("wpm" + std::string(CloudSynchronizer::kTimestampSuffix),
                    PropertyList(Date{now().secondsSince1970 + c.localOffset}));
        store->set("wpm", record(c.remoteOffset, PropertyList(200)));
        auto sync = start();
        sync->addKey(wpm_);
        settle();
        EXPECT_EQ(get(wpm_), c.expected);
        const auto remote = store->object("wpm");
        ASSERT_TRUE(remote && remote->array());
        EXPECT_EQ(remote->array()->at(1), PropertyList(c.expected == 150 ? 150 : 200));
    }
}

TEST_F(CloudSynchronizerTest, AnExternalChangeNoNewerThanTheLocalStampIsIgnored) {
    auto sync = start();
    sync->addKey(wpm_);
    set(wpm_, 150);
    settle();
    const Date local = *localStamp("wpm");
    store_->writeFromAnotherDevice(
        "wpm", PropertyList(PlistArray{PropertyList(local), PropertyList(999)}));
    settle();
    EXPECT_EQ(get(wpm_), 150);
}

TEST_F(CloudSynchronizerTest, AKeyAddedAfterStartSyncsOnlyOnceItHasAStamp) {
    auto sync = start();
    sync->addKey(wpm_);
    set(font_, "mono");
    sync->addKey(font_);
    sync->addKey(font_);
    settle();
    EXPECT_FALSE(store_->serviceObject("font")) << "no stamp on either side: skipped";
    EXPECT_EQ(sync->keys().size(), 2u);
    set(font_, "serif");
    settle();
    ASSERT_TRUE(store_->serviceObject("font"));
    EXPECT_EQ(store_->serviceObject("font")->array()->at(1), PropertyList("serif"));

    sync->remove({font_});
    sync->addKey(font_);
    const int before = store_->synchronizeCount();
    set(font_, "sans2");
    settle();
    EXPECT_EQ(store_->synchronizeCount(), before + 1) << "observed once after re-adding";
}

TEST_F(CloudSynchronizerTest, AQuotaErrorKeepsLocalValuesAndOtherKeysSyncing) {
    auto sync = start();
    sync->addKey(font_);
    sync->addKey(wpm_);
    int quotaErrors = 0;
    auto watch = store_->observeExternalChanges([&](const auto& change) {
        if (change.reason == CloudKeyValueStore::ChangeReason::quotaViolationChange) ++quotaErrors;
    });
    const std::string huge(kQuotaBytes * 2, 'x');
    set(font_, huge);
    settle();
    EXPECT_EQ(quotaErrors, 1);
    EXPECT_FALSE(store_->serviceObject("font")) << "the service refused it";
    EXPECT_EQ(get(font_), huge) << "the local value is kept";
    set(wpm_, 160);
    settle();
    ASSERT_TRUE(store_->serviceObject("wpm"));
    EXPECT_EQ(store_->serviceObject("wpm")->array()->at(1), PropertyList(160));
}

TEST_F(CloudSynchronizerTest, WaitingForCompletionIncludesTheMainThreadPartOfPulls) {
    auto sync = start();
    sync->addKey(wpm_);
    store_->set("wpm", record(1, PropertyList(190)));
    sync->syncWithoutWaiting({}, std::nullopt);
    bool finished = false;
    sync->waitForSyncCompletion([&] {
        finished = true;
        EXPECT_EQ(get(wpm_), 190);
    });
    loop_.runUntilIdle();
    EXPECT_TRUE(finished);
}

TEST_F(CloudSynchronizerTest, LinuxBuildsHaveNoSynchroniser) {
    EXPECT_TRUE(cloud().keys().empty());
    bool called = false;
    cloud().waitForSyncCompletion([&] { called = true; });
    EXPECT_TRUE(called);
}

}  // namespace
}  // namespace vorela::Prefs
