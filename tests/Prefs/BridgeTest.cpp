#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Prefs/Prefs.h"
#include "TestTypes.h"

namespace vorela::Prefs {
namespace {

using testing::Geometry;
using testing::Mode;

PropertyList array(std::initializer_list<PropertyList> elements) {
    return PropertyList(PlistArray(elements));
}

TEST(BridgeTest, NumbersConvertOnlyWhenExact) {
    EXPECT_EQ(toValue<double>(PropertyList(140)), 140.0);
    EXPECT_EQ(toValue<int>(PropertyList(140.0)), 140);
    EXPECT_FALSE(toValue<int>(PropertyList(1.5)));
    EXPECT_FALSE(toValue<std::uint8_t>(PropertyList(256)));
    EXPECT_FALSE(toValue<std::uint32_t>(PropertyList(-1)));
    EXPECT_FALSE(toValue<std::int64_t>(PropertyList(1e19)));
    EXPECT_FALSE(toValue<double>(PropertyList((std::int64_t{1} << 53) + 1))) << "would lose a bit";
    EXPECT_FALSE(toValue<float>(PropertyList(0.1))) << "0.1 has no exact float";
    EXPECT_EQ(toValue<float>(PropertyList(0.5)), 0.5f);
}

TEST(BridgeTest, UnsignedValuesAboveTheSignedRangeAreStoredUnchanged) {
    // Such values could not be stored at all, though unsigned 64-bit numbers are among
    // the types stored natively.
    constexpr auto kMax = std::numeric_limits<std::uint64_t>::max();
    const auto stored = toSerializable(kMax);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->type(), PropertyList::Type::unsignedInteger);
    EXPECT_EQ(toValue<std::uint64_t>(*stored), kMax);
    EXPECT_FALSE(toValue<std::int64_t>(*stored));
    EXPECT_FALSE(toValue<double>(*stored)) << "2^64 - 1 has no exact double";
    EXPECT_EQ(toValue<double>(PropertyList(std::uint64_t{1} << 63)), 9223372036854775808.0);
    EXPECT_EQ(toValue<std::uint64_t>(PropertyList(1e19)), 10000000000000000000u);
    EXPECT_EQ(toValue<std::uint64_t>(PropertyList("18446744073709551615")), kMax);
    EXPECT_FALSE(toValue<std::uint64_t>(PropertyList(-1)));
    EXPECT_EQ(toSerializable(std::uint64_t{5}), PropertyList(5)) << "one form below the limit";
}

TEST(BridgeTest, BooleansNumbersAndTextStayApart) {
    EXPECT_FALSE(toValue<bool>(PropertyList(0)));
    EXPECT_FALSE(toValue<int>(PropertyList(false)));
    EXPECT_FALSE(toValue<double>(PropertyList(true)));
    EXPECT_FALSE(toValue<std::string>(PropertyList(5)));
    EXPECT_EQ(toSerializable(false)->type(), PropertyList::Type::boolean);
    EXPECT_EQ(toSerializable(0)->type(), PropertyList::Type::integer);
    EXPECT_EQ(toSerializable(std::string("false"))->type(), PropertyList::Type::string);
}

TEST(BridgeTest, ANativeKeyReadsAStoredStringAsJsonText) {
    EXPECT_EQ(toValue<double>(PropertyList("2")), 2.0);
    EXPECT_EQ(toValue<double>(PropertyList("1.5")), 1.5);
    EXPECT_FALSE(toValue<double>(PropertyList("dos")));
    EXPECT_FALSE(toValue<int>(PropertyList("1.5")));
    EXPECT_EQ(toValue<bool>(PropertyList("false")), false);
    EXPECT_FALSE(toValue<bool>(PropertyList("\"false\"")));
    EXPECT_EQ(toValue<Date>(PropertyList("0")), Date::fromReference(0));
    EXPECT_EQ(toValue<PlistData>(PropertyList("\"AAH/\"")), (PlistData{0, 1, 255}));
}

TEST(BridgeTest, RawEnumerationsAreStoredByTheirRawText) {
    EXPECT_EQ(toSerializable(Mode::classic), PropertyList("classic"));
    EXPECT_EQ(toValue<Mode>(PropertyList("voice")), Mode::voice);
    EXPECT_FALSE(toValue<Mode>(PropertyList("Voice")));
    EXPECT_FALSE(toValue<Mode>(PropertyList(1)));
}

TEST(BridgeTest, StructuresAreCompactJsonWithSortedKeys) {
    const Geometry g{"notch", 10, 20, 300.5, 40};
    const auto stored = toSerializable(g);
    ASSERT_TRUE(stored && stored->string());
    EXPECT_EQ(*stored->string(),
              R"({"height":40.0,"mode":"notch","width":300.5,"x":10.0,"y":20.0})");
    EXPECT_EQ(toValue<Geometry>(*stored), g);
    EXPECT_FALSE(
        toValue<Geometry>(PropertyList(R"({"height":40,"mode":"notch","width":300,"x":10})")))
        << "a missing field reads nothing";
    EXPECT_FALSE(toValue<Geometry>(PropertyList("{no es json")));
}

TEST(BridgeTest, AStructureThatCannotBeEncodedGivesNothingAndSaysWhy) {
    ::testing::internal::CaptureStdout();
    const auto stored = toSerializable(Geometry{"x", std::nan(""), 0, 0, 0});
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_FALSE(stored);
    EXPECT_THAT(out, ::testing::HasSubstr("«x»"));
    EXPECT_EQ(out.back(), '\n');
}

TEST(BridgeTest, ArraysDropElementsThatDoNotConvert) {
    EXPECT_EQ(toSerializable(std::vector<int>{1, 2}), array({1, 2}));
    EXPECT_EQ(toSerializable(std::vector<Mode>{Mode::voice}), array({"voice"}));
    EXPECT_EQ(toValue<std::vector<Mode>>(array({"voice", "nada", "classic"})),
              (std::vector<Mode>{Mode::voice, Mode::classic}));
    EXPECT_FALSE(toValue<std::vector<int>>(PropertyList("1")));
}

TEST(BridgeTest, DictionariesKeepTheEntriesThatConvert) {
    const std::map<std::string, Geometry> geometries{{"a", Geometry{"m", 1, 2, 3, 4}}};
    const auto stored = toSerializable(geometries);
    ASSERT_TRUE(stored && stored->dictionary());
    EXPECT_TRUE(stored->dictionary()->at("a").string());
    PlistDictionary withBroken = *stored->dictionary();
    withBroken.emplace("b", PropertyList("{roto"));
    using GeometryMap = std::map<std::string, Geometry>;
    EXPECT_EQ(toValue<GeometryMap>(PropertyList(withBroken)), geometries);
}

TEST(BridgeTest, IntegerKeysAreStoredAsDecimalText) {
    const std::map<int, std::string> byNumber{{-3, "a"}, {10, "b"}};
    EXPECT_EQ(toSerializable(byNumber),
              PropertyList(PlistDictionary{{"-3", PropertyList("a")}, {"10", PropertyList("b")}}));
    const PlistDictionary stored{{"10", PropertyList("b")},
                                 {"x1", PropertyList("c")},
                                 {"1.5", PropertyList("d")},
                                 {"", PropertyList("e")},
                                 {"7 ", PropertyList("f")}};
    const std::map<int, std::string> expected{{10, "b"}};
    using ByNumber = std::map<int, std::string>;
    EXPECT_EQ(toValue<ByNumber>(PropertyList(stored)), expected);
}

TEST(BridgeTest, RangesTakeTheirFirstTwoElements) {
    EXPECT_EQ(toSerializable(Range<int>{1, 5}), array({1, 5}));
    struct Case {
        const char* name;
        PropertyList stored;
        std::optional<Range<int>> expected;
    };
    const Case cases[] = {
        {"two bounds", array({1, 5}), Range<int>{1, 5}},
        {"one element", array({1}), std::nullopt},
        {"three elements", array({1, 5, 9}), Range<int>{1, 5}},
        {"a bound of another type", array({1, "cinco"}), std::nullopt},
        {"bounds in the wrong order", array({5, 1}), std::nullopt},
        {"not an array", PropertyList(1), std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(toValue<Range<int>>(c.stored), c.expected);
    }
    const ClosedRange<Mode> modes{Mode::classic, Mode::voice};
    EXPECT_EQ(toValue<ClosedRange<Mode>>(array({"classic", "voice"})), modes);
}

TEST(BridgeTest, SetsAreArraysWithoutRepeats) {
    EXPECT_EQ(toSerializable(std::set<std::string>{"b", "a"}), array({"a", "b"}));
    EXPECT_EQ(toValue<std::set<std::string>>(array({"a", "b", "a"})),
              (std::set<std::string>{"a", "b"}));
    EXPECT_FALSE(toValue<std::set<int>>(array({1, "x"}))) << "native elements must all read";
    EXPECT_EQ(toValue<std::set<Mode>>(array({"voice", "nada"})), (std::set<Mode>{Mode::voice}));
}

TEST(BridgeTest, OptionalsStoreTheirValueAndNothingForNoValue) {
    EXPECT_FALSE(toSerializable(std::optional<int>()));
    EXPECT_EQ(toSerializable(std::optional<Mode>(Mode::manual)), PropertyList("manual"));
    EXPECT_EQ(toValue<std::optional<int>>(PropertyList(3)), std::optional<int>(3));
    EXPECT_FALSE(toValue<std::optional<int>>(PropertyList("x")));
}

TEST(BridgeTest, UrlsUuidsAndColours) {
    const Url url{"https://example.org/a?b=c"};
    EXPECT_EQ(toSerializable(url), PropertyList(R"({"relative":"https://example.org/a?b=c"})"));
    EXPECT_EQ(toValue<Url>(*toSerializable(url)), url);

    const auto uuid = parseUuid("0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0");
    ASSERT_TRUE(uuid);
    EXPECT_EQ(toSerializable(*uuid), PropertyList("0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0"));
    EXPECT_EQ(toValue<Uuid>(PropertyList("0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0")), uuid);
    for (const char* bad :
         {"0F1E2D3C4B5A-6978-8796-A5B4C3D2E1F0-", "0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1FG", ""}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(toValue<Uuid>(PropertyList(bad)));
    }

    const Color colour = Color::sRGB(0.25, 0.5, 1, 0.75);
    const auto stored = toSerializable(colour);
    EXPECT_EQ(stored, array({"sRGB", array({0.25, 0.5, 1.0, 0.75})}));
    EXPECT_EQ(toValue<Color>(*stored), colour);
    EXPECT_FALSE(toValue<Color>(array({"sRGB"})));
    EXPECT_FALSE(toValue<Color>(array({"unknownSpace", array({0.0, 0.0, 0.0, 1.0})})));
    EXPECT_FALSE(toValue<Color>(array({"sRGB", array({0.0, 0.0, 1.0})})));
}

}  // namespace
}  // namespace vorela::Prefs
