#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <unordered_set>

#include "Platform/Log/Log.h"
#include "Prefs/Prefs.h"
#include "Support/RecordingLogSink.h"
#include "TestTypes.h"

namespace vorela::Prefs {
namespace {

using testing::Geometry;
using testing::Mode;

class RecordingCloudSync final : public CloudSync {
public:
    void addKey(const AnyKey& key) override {
        names.push_back(key.name());
        registeredWhenAdded.push_back(key.suite()->object(key.name()).has_value());
    }
    std::vector<std::string> names;
    std::vector<bool> registeredWhenAdded;
};

class KeyTest : public ::testing::Test {
protected:
    void SetUp() override { UserDefaults::setStandard(standard_); }
    void TearDown() override { UserDefaults::setStandard(UserDefaults::inMemory()); }

    std::shared_ptr<UserDefaults> standard_ = UserDefaults::inMemory();
    std::shared_ptr<UserDefaults> other_ = UserDefaults::inMemory();
};

TEST_F(KeyTest, AFixedDefaultIsRegisteredNotStored) {
    const Key<double> wpm("wpm", 140.0);
    EXPECT_EQ(get(wpm), 140.0);
    EXPECT_EQ(standard_->object("wpm"), PropertyList(140.0));
    set(wpm, 150.0);
    EXPECT_EQ(get(wpm), 150.0);
    wpm.reset();
    EXPECT_EQ(get(wpm), 140.0) << "read from the registration again";
    EXPECT_EQ(standard_->object("wpm"), PropertyList(140.0));
}

TEST_F(KeyTest, WritingTheDefaultStoresAnExplicitEntry) {
    const Key<double> wpm("wpm", 140.0);
    int writes = 0;
    auto subscription =
        standard_->observe([&](const auto&, const auto&, const auto&) { ++writes; });
    EXPECT_TRUE(wpm.isDefaultValue());
    set(wpm, 140.0);
    EXPECT_EQ(writes, 1);
    EXPECT_TRUE(wpm.isDefaultValue());
    update(wpm, [](double& v) { v += 10; });
    EXPECT_EQ(get(wpm), 150.0);
    EXPECT_FALSE(wpm.isDefaultValue());
}

TEST_F(KeyTest, StoredObjectsThatDoNotConvertReadAsTheDefault) {
    const Key<Mode> mode("mode", Mode::voice);
    const Key<int> count("count", 3);
    const Key<Geometry> geometry("geometry", Geometry{"a", 1, 2, 3, 4});
    struct Case {
        const char* name;
        std::string key;
        PropertyList stored;
    };
    const Case cases[] = {
        {"unknown raw value", "mode", PropertyList("teleprompter")},
        {"raw value of another type", "mode", PropertyList(1)},
        {"fraction under an integer key", "count", PropertyList(1.5)},
        {"Boolean under an integer key", "count", PropertyList(false)},
        {"undecodable JSON", "geometry", PropertyList("{\"mode\":")},
        {"JSON with a field missing", "geometry", PropertyList("{\"mode\":\"a\"}")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        standard_->set(c.key, c.stored);
        EXPECT_EQ(get(mode), Mode::voice);
        EXPECT_EQ(get(count), 3);
        EXPECT_EQ(get(geometry), (Geometry{"a", 1, 2, 3, 4}));
        standard_->remove(c.key);
    }
}

TEST_F(KeyTest, OptionalKeysWithoutDefaultRegisterNothing) {
    const Key<std::optional<std::string>> name("name");
    EXPECT_FALSE(standard_->object("name"));
    EXPECT_EQ(get(name), std::nullopt);
    set(name, std::string("Ana"));
    EXPECT_EQ(standard_->object("name"), PropertyList("Ana"));
    set(name, std::nullopt);
    EXPECT_FALSE(standard_->object("name"));
}

TEST_F(KeyTest, ADynamicDefaultIsAskedOnEveryReadAndNeverRegistered) {
    int calls = 0;
    const Key<int> key("dynamic", dynamicDefault([&] { return ++calls; }));
    EXPECT_EQ(get(key), 1);
    EXPECT_EQ(get(key), 2);
    EXPECT_TRUE(standard_->dictionaryRepresentation().empty());
    set(key, 10);
    EXPECT_EQ(get(key), 10);
    EXPECT_EQ(calls, 2);
}

TEST_F(KeyTest, AValueThatFailsToEncodeLeavesTheStoredValueAsItWas) {
    // Storing nothing for an unencodable value used to delete the user's saved value;
    // the entry must keep the last good value, and the failure is printed and logged.
    auto sink = std::make_shared<vorela::testing::RecordingLogSink>();
    auto previous = Log::setSink(sink);
    const Key<Geometry> geometry("geometry", Geometry{});
    set(geometry, Geometry{"notch", 1, 2, 3, 4});
    const auto before = standard_->object("geometry");
    ::testing::internal::CaptureStdout();
    set(geometry, Geometry{"notch", std::nan(""), 2, 3, 4});
    const std::string out = ::testing::internal::GetCapturedStdout();
    Log::setSink(previous);
    EXPECT_EQ(standard_->object("geometry"), before);
    EXPECT_FALSE(out.empty());
    const auto lines = sink->lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_THAT(lines[0], ::testing::StartsWith("prefs: "));
    EXPECT_THAT(lines[0], ::testing::HasSubstr("«geometry»"));
}

TEST_F(KeyTest, KeysAreEqualByNameAndSuite) {
    const Key<double> a("wpm", 140.0);
    const Key<double> b("wpm", 120.0);
    const Key<int> otherType("wpm", 1);
    const Key<double> elsewhere("wpm", 140.0, other_);
    EXPECT_EQ(static_cast<const AnyKey&>(a), b);
    EXPECT_EQ(a.hash(), b.hash());
    EXPECT_EQ(static_cast<const AnyKey&>(a), otherType);
    EXPECT_NE(static_cast<const AnyKey&>(a), elsewhere);
    EXPECT_NE(static_cast<const AnyKey&>(a), (Key<double>("speed", 1.0)));
    std::unordered_set<AnyKey> set{a, b, elsewhere};
    EXPECT_EQ(set.size(), 2u);
}

TEST_F(KeyTest, ResetRemovesEachEntryFromItsOwnSuite) {
    const Key<int> here("count", 1);
    const Key<int> there("count", 1, other_);
    const Key<int> unrelated("other", 1, other_);
    set(here, 5);
    set(there, 6);
    set(unrelated, 7);
    reset(here, there);
    EXPECT_EQ(get(here), 1);
    EXPECT_EQ(get(there), 1);
    EXPECT_EQ(get(unrelated), 7);

    set(here, 5);
    set(there, 6);
    reset(std::vector<std::string>{"count", "missing"}, *other_);
    EXPECT_EQ(get(here), 5) << "a reset by name touches only the suite given";
    EXPECT_EQ(get(there), 1);
}

TEST_F(KeyTest, RemoveAllLeavesOnlyRegisteredDefaults) {
    const Key<int> count("count", 1);
    const Key<std::optional<int>> maybe("maybe");
    set(count, 2);
    set(maybe, 3);
    removeAll(*standard_);
    EXPECT_EQ(get(count), 1);
    EXPECT_EQ(get(maybe), std::nullopt);
}

TEST_F(KeyTest, AKeyOnTheStandardSuiteFollowsItWhenItIsReplaced) {
    static const Key<double> wpm("wpm", 140.0);  // created once, as declared keys are
    set(wpm, 150.0);
    auto replacement = UserDefaults::inMemory();
    UserDefaults::setStandard(replacement);
    EXPECT_EQ(get(wpm), 140.0);
    EXPECT_EQ(replacement->object("wpm"), PropertyList(140.0)) << "registered on the new suite";
    set(wpm, 160.0);
    EXPECT_EQ(standard_->object("wpm"), PropertyList(150.0));
    UserDefaults::setStandard(standard_);
    EXPECT_EQ(get(wpm), 150.0);

    const Key<double> pinned("wpm", 140.0, other_);
    UserDefaults::setStandard(replacement);
    EXPECT_EQ(pinned.suite(), other_);
}

TEST_F(KeyTest, TheCloudFlagHandsTheKeyOverAfterRegistering) {
    auto fake = std::make_shared<RecordingCloudSync>();
    auto previous = setCloud(fake);
    const Key<double> local("local", 1.0);
    const Key<double> synced("synced", 2.0, nullptr, true);
    const Key<int> dynamic("dynamic", dynamicDefault([] { return 1; }), other_, true);
    setCloud(previous);
    EXPECT_EQ(fake->names, (std::vector<std::string>{"synced", "dynamic"}));
    EXPECT_EQ(fake->registeredWhenAdded, (std::vector<bool>{true, false}));
}

TEST(KeyPathTest, NamesMustBePlainAscii) {
    struct Case {
        const char* name;
        bool valid;
    };
    const Case cases[] = {
        {"wpm", true},           {"", true},          {"@count", false}, {"a@b", true},
        {"panel.height", false}, {".", false},        {"año", false},    {"tab\there", true},
        {"crlf\r\n", true},      {"trailing.", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(isValidKeyPath(c.name), c.valid);
    }
}

}  // namespace
}  // namespace vorela::Prefs
