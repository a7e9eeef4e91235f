#include <gtest/gtest.h>

#include <unordered_set>

#include "Prefs/Prefs.h"
#include "TestTypes.h"

namespace vorela::Prefs {
namespace {

using testing::Geometry;
using testing::Mode;

TEST(AnySerializableTest, HoldsTheStoredFormOfAStorableValue) {
    const AnySerializable mode(Mode::classic);
    EXPECT_EQ(mode.value(), PropertyList("classic"));
    EXPECT_EQ(mode.get<Mode>(), Mode::classic);
    EXPECT_EQ(mode.get<int>(), std::nullopt);

    AnySerializable holder = 1;
    holder.set(Geometry{"m", 1, 2, 3, 4});
    EXPECT_EQ(holder.get<Geometry>(), (Geometry{"m", 1, 2, 3, 4}));
    holder.set(std::optional<int>());
    EXPECT_TRUE(holder.isEmpty()) << "a value that converts to nothing empties the holder";
}

TEST(AnySerializableTest, EqualityFollowsTheFirstKindBothValuesConvertTo) {
    struct Case {
        const char* name;
        AnySerializable a;
        AnySerializable b;
        bool equal;
    };
    const Case cases[] = {
        {"integer and the same real", 1, 1.0, true},
        {"integer and another real", 1, 1.5, false},
        {"large integers stay exact", std::int64_t{(1LL << 60) + 1}, std::int64_t{1LL << 60},
         false},
        {"unsigned above the signed range and the same real", std::uint64_t{1} << 63,
         9223372036854775808.0, true},
        {"unsigned neighbours", std::numeric_limits<std::uint64_t>::max(),
         std::numeric_limits<std::uint64_t>::max() - 1, false},
        {"true and one", true, 1, false},
        {"text and its number", "1", 1, false},
        {"same text", "a", std::string("a"), true},
        {"arrays in the same order", AnySerializable::array({1, "a"}),
         AnySerializable::array({1.0, "a"}), true},
        {"arrays in another order", AnySerializable::array({1, "a"}),
         AnySerializable::array({"a", 1}), false},
        {"dictionaries", AnySerializable::dictionary({{"k", 1}}),
         AnySerializable::dictionary({{"k", 1.0}}), true},
        {"dictionary and array", AnySerializable::dictionary({}), AnySerializable::array({}),
         false},
        {"two empty holders", nullptr, AnySerializable(), true},
        {"empty and a value", nullptr, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.a == c.b, c.equal);
        EXPECT_EQ(c.b == c.a, c.equal);
        if (c.equal) {
            EXPECT_EQ(c.a.hash(), c.b.hash());
        }
    }
}

TEST(AnySerializableTest, EmptyHoldersAreEqualToThemselvesSoTheyCanBeSetMembers) {
    // Two holders of no value compared unequal (no kind fits both), which broke
    // reflexivity and let a hash set hold "nothing" many times over.
    std::unordered_set<AnySerializable> set{AnySerializable(), nullptr, 1, 1.0};
    EXPECT_EQ(set.size(), 2u);
}

TEST(AnySerializableTest, AKeyStoresTheHeldObjectAndAnEmptyHolderRemovesIt) {
    auto suite = UserDefaults::inMemory();
    const Key<AnySerializable> key("any", suite);
    EXPECT_FALSE(suite->object("any")) << "no default registered";
    EXPECT_TRUE(get(key).isEmpty());
    set(key, AnySerializable::array({1, "dos"}));
    EXPECT_EQ(suite->object("any"), PropertyList(PlistArray{1, "dos"}));
    EXPECT_EQ(get(key), AnySerializable::array({1, "dos"}));
    set(key, nullptr);
    EXPECT_FALSE(suite->object("any"));
}

TEST(AnySerializableTest, ContainersLeaveOutEmptyHolders) {
    EXPECT_EQ(AnySerializable::array({1, nullptr, 2}).value(), PropertyList(PlistArray{1, 2}));
    EXPECT_EQ(AnySerializable::dictionary({{"a", nullptr}}).value(),
              PropertyList(PlistDictionary{}));
}

}  // namespace
}  // namespace vorela::Prefs
