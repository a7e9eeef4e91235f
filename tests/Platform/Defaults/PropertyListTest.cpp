#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Platform/Defaults/PropertyList.h"

namespace vorela {
namespace {

TEST(PropertyListTest, NumericReadsAreExact) {
    struct Case {
        const char* name;
        PropertyList object;
        std::optional<double> asDouble;
        std::optional<std::int64_t> asInt64;
    };
    constexpr std::int64_t kTwo53 = std::int64_t{1} << 53;
    const Case cases[] = {
        {"integer 140", PropertyList(140), 140.0, 140},
        {"real 140", PropertyList(140.0), 140.0, 140},
        {"real 1.5", PropertyList(1.5), 1.5, std::nullopt},
        {"2^53 + 1 has no double", PropertyList(kTwo53 + 1), std::nullopt, kTwo53 + 1},
        {"2^63 does not fit", PropertyList(9223372036854775808.0), 9223372036854775808.0,
         std::nullopt},
        {"-2^63 fits", PropertyList(-9223372036854775808.0), -9223372036854775808.0,
         std::numeric_limits<std::int64_t>::min()},
        {"not a number", PropertyList(std::nan("")), std::nullopt, std::nullopt},
        {"Boolean", PropertyList(true), std::nullopt, std::nullopt},
        {"text", PropertyList("1"), std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.asDouble) {
            EXPECT_EQ(c.object.asDouble(), c.asDouble);
        } else if (c.object.real()) {
            EXPECT_TRUE(std::isnan(*c.object.asDouble()));
        } else {
            EXPECT_FALSE(c.object.asDouble());
        }
        EXPECT_EQ(c.object.asInt64(), c.asInt64);
    }
}

}  // namespace
}  // namespace vorela
