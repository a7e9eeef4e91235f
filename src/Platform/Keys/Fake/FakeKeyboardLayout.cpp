#include "Platform/Keys/Fake/FakeKeyboardLayout.h"

#include <array>
#include <utility>

namespace vorela {
namespace {

// Positions of a US keyboard by macOS virtual key code.
constexpr std::array<std::pair<std::uint16_t, const char*>, 47> kUsKeys{{
    {0, "a"},  {11, "b"}, {8, "c"},  {2, "d"},  {14, "e"},  {3, "f"},  {5, "g"},  {4, "h"},
    {34, "i"}, {38, "j"}, {40, "k"}, {37, "l"}, {46, "m"},  {45, "n"}, {31, "o"}, {35, "p"},
    {12, "q"}, {15, "r"}, {1, "s"},  {17, "t"}, {32, "u"},  {9, "v"},  {13, "w"}, {7, "x"},
    {16, "y"}, {6, "z"},  {29, "0"}, {18, "1"}, {19, "2"},  {20, "3"}, {21, "4"}, {23, "5"},
    {22, "6"}, {26, "7"}, {28, "8"}, {25, "9"}, {42, "\\"}, {50, "`"}, {43, ","}, {24, "="},
    {27, "-"}, {47, "."}, {39, "'"}, {41, ";"}, {44, "/"},  {33, "["}, {30, "]"},
}};

}  // namespace

FakeKeyboardLayout::FakeKeyboardLayout() {
    for (const auto& [code, text] : kUsKeys) texts_[code] = text;
}

std::optional<std::string> FakeKeyboardLayout::textForKey(std::uint16_t carbonKeyCode) const {
    ++lookupCount_;
    const auto it = texts_.find(carbonKeyCode);
    if (it == texts_.end()) return std::nullopt;
    return it->second;
}

void FakeKeyboardLayout::setText(std::uint16_t carbonKeyCode, std::optional<std::string> text) {
    if (text) {
        texts_[carbonKeyCode] = *text;
    } else {
        texts_.erase(carbonKeyCode);
    }
}

}  // namespace vorela
