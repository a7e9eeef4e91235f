#include <gtest/gtest.h>

#include "Platform/Foundation/SystemVersion.h"

namespace vorela {
namespace {

TEST(SystemVersionTest, AlwaysThreeNumbers) {
    struct Case {
        const char* release;
        const char* expected;
    } cases[] = {
        {"6.1.0-18-amd64", "6.1.0"},
        {"15.0", "15.0.0"},
        {"14.7.2", "14.7.2"},
        {"6.5.13.4-rt", "6.5.13"},
        {"5", "5.0.0"},
        {"06.01.00", "6.1.0"},
        {"", "0.0.0"},
        {"linux", "0.0.0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.release);
        EXPECT_EQ(systemVersionText(c.release), c.expected);
    }
    EXPECT_EQ(currentSystemVersion().find_first_not_of("0123456789."), std::string::npos);
}

}  // namespace
}  // namespace vorela
