#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "Platform/Foundation/CompactString.h"

namespace vorela {
namespace {

// Lengths around the switch from in-place bytes to a heap block, and bytes a C string
// would cut short.
TEST(CompactStringTest, KeepsEveryLengthAndByteThroughCopiesAndMoves) {
    const std::string cases[] = {"",
                                 "a",
                                 "camión",
                                 std::string("a\0b", 3),
                                 std::string(15, 'x'),
                                 std::string(16, 'y'),
                                 std::string(1000, 'z') + "fin"};
    for (const auto& text : cases) {
        SCOPED_TRACE(text.size());
        const CompactString original(text);
        EXPECT_EQ(original.view(), text);
        EXPECT_EQ(original.size(), text.size());
        EXPECT_EQ(original.empty(), text.empty());

        CompactString copy(original);
        EXPECT_EQ(copy, original);
        CompactString moved(std::move(copy));
        EXPECT_EQ(moved.view(), text);
        EXPECT_TRUE(copy.empty());  // NOLINT(bugprone-use-after-move): moved-from is empty

        CompactString assigned("previo de más de quince bytes");
        assigned = original;
        EXPECT_EQ(assigned.view(), text);
        assigned = std::move(moved);
        EXPECT_EQ(assigned.view(), text);
        EXPECT_EQ(assigned.str(), text);
    }
}

// Assigning a piece of the string to itself must copy before the old bytes go.
TEST(CompactStringTest, AssigningAViewOfItselfKeepsTheText) {
    const struct {
        const char* name;
        std::string text;
        std::size_t from;
        std::size_t length;
    } cases[] = {
        {"in place", "palabras", 2, 4},
        {"heap to heap", std::string(40, 'a') + std::string(40, 'b'), 20, 50},
        {"heap to in place", std::string(30, 'c') + "fin", 30, 3},
        {"whole", std::string(64, 'd'), 0, 64},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CompactString text(c.text);
        text = text.view().substr(c.from, c.length);
        EXPECT_EQ(text.view(), std::string_view(c.text).substr(c.from, c.length));
        const CompactString& alias = text;
        text = alias;
        EXPECT_EQ(text.view(), std::string_view(c.text).substr(c.from, c.length));
    }
}

TEST(CompactStringTest, ComparesByContent) {
    EXPECT_EQ(CompactString("hola"), CompactString(std::string("hola")));
    EXPECT_NE(CompactString("hola"), CompactString("holas"));
    EXPECT_EQ(CompactString(std::string(20, 'q')), std::string(20, 'q'));
    EXPECT_NE(CompactString(std::string(20, 'q')), std::string(21, 'q'));
    EXPECT_EQ(CompactString(), "");
    const CompactString fromLiteral = "dieciséis bytes!";
    EXPECT_EQ(fromLiteral, "dieciséis bytes!");
    EXPECT_NE(fromLiteral, "dieciséis bytes");
}

}  // namespace
}  // namespace vorela
