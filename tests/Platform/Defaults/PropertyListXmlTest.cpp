#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Platform/Defaults/PlistXml.h"

namespace vorela {
namespace {

PropertyList roundTrip(const PropertyList& object) {
    auto parsed = PlistXml::parse(PlistXml::write(object));
    EXPECT_TRUE(parsed.object) << parsed.error;
    return parsed.object.value_or(PropertyList());
}

TEST(PropertyListXmlTest, EveryKindOfObjectReadsBackUnchanged) {
    struct Case {
        const char* name;
        PropertyList object;
    };
    const Case cases[] = {
        {"tenth", PropertyList(0.1)},
        {"huge", PropertyList(1e300)},
        {"tiny", PropertyList(5e-324)},
        {"negative zero", PropertyList(-0.0)},
        {"infinity", PropertyList(std::numeric_limits<double>::infinity())},
        {"minus infinity", PropertyList(-std::numeric_limits<double>::infinity())},
        {"smallest integer", PropertyList(std::numeric_limits<std::int64_t>::min())},
        {"largest unsigned integer", PropertyList(std::numeric_limits<std::uint64_t>::max())},
        {"first integer above the signed range", PropertyList(std::uint64_t{1} << 63)},
        {"date", PropertyList(Date{1700000000})},
        {"date before 1970", PropertyList(Date{-86401})},
        {"empty data", PropertyList(PlistData{})},
        {"data", PropertyList(PlistData{1, 2, 3, 4, 5})},
        {"markup in text", PropertyList("<a href=\"x\">&amp;</a>")},
        {"white space", PropertyList("  dos  espacios\n\ty\r\n")},
        {"empty containers",
         PropertyList(PlistArray{PropertyList(PlistArray{}), PropertyList(PlistDictionary{})})},
        {"empty key", PropertyList(PlistDictionary{{"", PropertyList(1)}})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(roundTrip(c.object), c.object);
    }
    const auto nan = roundTrip(PropertyList(std::nan("")));
    ASSERT_TRUE(nan.real());
    EXPECT_TRUE(std::isnan(*nan.real()));
    EXPECT_TRUE(std::signbit(*roundTrip(PropertyList(-0.0)).real()));
}

TEST(PropertyListXmlTest, DatesBeyondFourDigitYearsAreClampedSoTheFileStaysReadable) {
    // A date past year 9999 (or a non-finite one) was written in a form the reader
    // refuses, so one such value made the whole preferences file unreadable.
    struct Case {
        const char* name;
        double seconds;
        double expected;
    };
    const Case cases[] = {
        {"far future", 1e300, 253402300799.0},
        {"far past", -1e300, -62135596800.0},
        {"infinity", std::numeric_limits<double>::infinity(), 253402300799.0},
        {"not a number", std::nan(""), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto back =
            roundTrip(PropertyList(PlistArray{PropertyList(Date{c.seconds}), PropertyList(1)}));
        ASSERT_TRUE(back.array());
        EXPECT_EQ(back, PropertyList(PlistArray{PropertyList(Date{c.expected}), PropertyList(1)}));
    }
}

TEST(PropertyListXmlTest, ReadsHandWrittenFiles) {
    const char* xml = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Example//DTD PLIST 1.0//EN" "http://example.org/PropertyList-1.0.dtd">
<plist version="1.0">
<dict>
    <key>on</key><true/>
    <key>n</key><integer> 42 </integer>
    <key>when</key><date>2001-01-01T00:00:00Z</date>
    <key>bytes</key><data>
        AAEC
    </data>
    <key>list</key><array/>
</dict>
</plist>)";
    auto parsed = PlistXml::parse(xml);
    ASSERT_TRUE(parsed.object) << parsed.error;
    const PlistDictionary expected{{"on", PropertyList(true)},
                                   {"n", PropertyList(42)},
                                   {"when", PropertyList(Date::fromReference(0))},
                                   {"bytes", PropertyList(PlistData{0, 1, 2})},
                                   {"list", PropertyList(PlistArray{})}};
    EXPECT_EQ(*parsed.object, PropertyList(expected));
}

TEST(PropertyListXmlTest, RefusesWhatIsNotAPropertyList) {
    struct Case {
        const char* name;
        std::string xml;
    };
    const Case cases[] = {
        {"entity expansion",
         R"(<!DOCTYPE plist [<!ENTITY a "aaaaaaaaaa"><!ENTITY b "&a;&a;&a;&a;&a;">]>)"
         R"(<plist><string>&b;</string></plist>)"},
        {"external entity",
         R"(<!DOCTYPE plist [<!ENTITY x SYSTEM "file:///etc/passwd">]><plist><string>&x;</string></plist>)"},
        {"unknown element", "<plist><float>1</float></plist>"},
        {"value without key", "<plist><dict><integer>1</integer></dict></plist>"},
        {"key without value", "<plist><dict><key>a</key></dict></plist>"},
        {"two top values", "<plist><true/><false/></plist>"},
        {"empty plist", "<plist></plist>"},
        {"no plist element", "<dict/>"},
        {"stray text", "<plist><dict>texto</dict></plist>"},
        {"element inside a value", "<plist><string>a<b/></string></plist>"},
        {"bad date", "<plist><date>2001-13-01T00:00:00Z</date></plist>"},
        {"bad data", "<plist><data>!!!!</data></plist>"},
        {"an integer beyond 64 bits is the only value",
         "<plist><integer>18446744073709551616</integer></plist>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto parsed = PlistXml::parse(c.xml);
        EXPECT_FALSE(parsed.object);
        EXPECT_FALSE(parsed.error.empty());
    }
}

TEST(PropertyListXmlTest, DatesAreWrittenInWholeSecondsAndOlderFractionsStillRead) {
    // Dates taken from the clock were written with a fraction of a second, a form the
    // XML format does not define, and other programs' readers refused the whole file.
    const struct {
        const char* name;
        double seconds;
        const char* text;
    } cases[] = {
        {"a fraction is dropped", 1700000000.987654, "<date>2023-11-14T22:13:20Z</date>"},
        {"before 1970 it stays in its own second", -0.5, "<date>1969-12-31T23:59:59Z</date>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NE(PlistXml::write(PropertyList(Date{c.seconds})).find(c.text), std::string::npos);
    }
    const auto older = PlistXml::parse("<plist><date>2023-11-14T22:13:20.25Z</date></plist>");
    ASSERT_TRUE(older.object) << older.error;
    EXPECT_EQ(*older.object, PropertyList(Date{1700000000.25}));
}

TEST(PropertyListXmlTest, AnIntegerBeyond64BitsDropsOnlyItsOwnEntry) {
    // One such integer written by another program made the whole file count as corrupt,
    // and every preference in it was set aside.
    const char* xml = R"(<plist><dict>
        <key>big</key><integer>18446744073709551615</integer>
        <key>tooBig</key><integer>18446744073709551616</integer>
        <key>tooSmall</key><integer>-9223372036854775809</integer>
        <key>list</key><array><integer>1</integer><integer>99999999999999999999</integer></array>
        <key>kept</key><true/>
    </dict></plist>)";
    const auto parsed = PlistXml::parse(xml);
    ASSERT_TRUE(parsed.object) << parsed.error;
    const PlistDictionary expected{{"big", PropertyList(std::numeric_limits<std::uint64_t>::max())},
                                   {"list", PropertyList(PlistArray{PropertyList(1)})},
                                   {"kept", PropertyList(true)}};
    EXPECT_EQ(*parsed.object, PropertyList(expected));
    ASSERT_EQ(parsed.dropped.size(), 3u);
    EXPECT_NE(parsed.dropped[0].find("«tooBig»"), std::string::npos) << parsed.dropped[0];
}

TEST(PropertyListXmlTest, NestingIsBounded) {
    std::string deep = "<plist>";
    for (int i = 0; i < PlistXml::kMaxDepth + 10; ++i) deep += "<array>";
    for (int i = 0; i < PlistXml::kMaxDepth + 10; ++i) deep += "</array>";
    deep += "</plist>";
    EXPECT_FALSE(PlistXml::parse(deep).object);
}

}  // namespace
}  // namespace vorela
