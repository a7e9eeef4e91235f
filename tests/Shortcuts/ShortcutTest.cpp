#include <gtest/gtest.h>

#include <string>
#include <unordered_set>

#include "Platform/Keys/Fake/FakeKeyboardLayout.h"
#include "Shortcuts/Shortcut.h"
#include "Shortcuts/ShortcutTexts.h"
#include "Shortcuts/SpecialKey.h"

namespace vorela::Shortcuts {
namespace {

TEST(ShortcutTest, ModifiersAreNormalisedOnlyWhereTheValueIsBuilt) {
    EXPECT_EQ(Shortcut(Key::r, ModifierFlags::option), Shortcut(15, 0x800));
    // 0x8000 is none of the five known bits: building drops it, decoding keeps it.
    EXPECT_EQ(Shortcut(49, 0x8800).carbonModifiers, 0x800);
    EXPECT_EQ(Shortcut(0, 0x8A00).carbonModifiers, 0xA00);
    const auto decoded = Shortcut::decoded(R"({"carbonKeyCode":0,"carbonModifiers":35328})");
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->carbonModifiers, 0x8A00);
    // The same number means Shift as a flag and Function as a Carbon bit.
    EXPECT_EQ(ModifierFlags::fromCarbon(0x20000), ModifierFlags::function);
    EXPECT_EQ(ModifierFlags(0x20000).carbon(), carbon::shift);
}

TEST(ShortcutTest, OnlyKeyEventsMakeAShortcutAndNeverWithFunction) {
    const auto flags = ModifierFlags::function | ModifierFlags::shift | ModifierFlags::capsLock;
    const auto down = Shortcut::fromEvent({KeyEvent::Type::keyDown, Key::a.rawValue, flags, false});
    ASSERT_TRUE(down);
    EXPECT_EQ(down->carbonModifiers, carbon::shift);
    EXPECT_TRUE(Shortcut::fromEvent({KeyEvent::Type::keyUp, 0, flags, false}));
    EXPECT_FALSE(Shortcut::fromEvent({KeyEvent::Type::flagsChanged, 0, flags, false}));
    EXPECT_FALSE(Shortcut::fromEvent({KeyEvent::Type::other, 0, flags, false}));
}

TEST(ShortcutTest, CodedFormReadsWhatItWritesAndRejectsAnythingElse) {
    EXPECT_EQ(*Shortcut(Key::space, ModifierFlags::option).encoded(),
              R"({"carbonKeyCode":49,"carbonModifiers":2048})");
    struct Case {
        const char* name;
        const char* json;
        std::optional<Shortcut> expected;
    };
    const Case cases[] = {
        {"reversed order and white space", R"( { "carbonModifiers" : 512 , "carbonKeyCode":3 } )",
         Shortcut(3, 512)},
        {"other members ignored", R"({"carbonKeyCode":3,"carbonModifiers":0,"x":true})",
         Shortcut(3, 0)},
        {"negative numbers kept", R"({"carbonKeyCode":-4,"carbonModifiers":0})", Shortcut(-4, 0)},
        {"modifiers missing", R"({"carbonKeyCode":3})", std::nullopt},
        {"fraction", R"({"carbonKeyCode":3.5,"carbonModifiers":0})", std::nullopt},
        {"text number", R"({"carbonKeyCode":"3","carbonModifiers":0})", std::nullopt},
        {"too large for an int", R"({"carbonKeyCode":99999999999,"carbonModifiers":0})",
         std::nullopt},
        {"array", "[3,0]", std::nullopt},
        {"not JSON", "carbonKeyCode=3", std::nullopt},
        {"empty", "", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto decoded = Shortcut::decoded(c.json);
        ASSERT_EQ(decoded.has_value(), c.expected.has_value());
        if (decoded) {
            EXPECT_EQ(decoded->carbonKeyCode, c.expected->carbonKeyCode);
            EXPECT_EQ(decoded->carbonModifiers, c.expected->carbonModifiers);
        }
    }
}

// The recorder and the hints showed "⌥R" while the tray and the desktop said "Alt+R": a
// Linux keyboard has no ⌥ printed on it, so every shown key uses the desktop's names.
TEST(ShortcutTest, DisplayTextsNameTheModifiersInFixedOrderBeforeTheKey) {
    FakeKeyboardLayout layout;
    const auto all = ModifierFlags::function | ModifierFlags::command | ModifierFlags::shift |
                     ModifierFlags::option | ModifierFlags::control;
    struct Case {
        const char* name;
        Shortcut shortcut;
        std::string expected;
    };
    const Case cases[] = {
        {"option R", Shortcut(Key::r, ModifierFlags::option), "Alt+R"},
        {"option left arrow", Shortcut(Key::leftArrow, ModifierFlags::option), "Alt+←"},
        {"control shift F5", Shortcut(Key::f5, ModifierFlags::shift | ModifierFlags::control),
         "Ctrl+Mayús+F5"},
        {"all five", Shortcut(Key::a, all), "Ctrl+Alt+Mayús+Super+Fn+A"},
        {"space from the bundle", Shortcut(Key::space, ModifierFlags::option), "Alt+Espacio"},
        {"keypad five", Shortcut(Key::keypad5, {}), "5⃣"},
        {"help", Shortcut(Key::help, ModifierFlags::command), "Super+?⃝"},
        {"unshifted character", Shortcut(Key::slash, ModifierFlags::command), "Super+/"},
        {"no character in layout", Shortcut(Key(1105), ModifierFlags::option), "Alt+\uFFFD"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.shortcut.presentableDescription(&layout), c.expected);
    }
    // A view's or menu's key made from a shortcut reads exactly as the shortcut does.
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (const auto key = c.shortcut.toDeclarativeKeyboardShortcut(&layout)) {
            EXPECT_EQ(presentableDescription(*key), c.expected);
        }
    }
    EXPECT_EQ(presentableDescription(KeyboardShortcut{{U','}, EventModifiers::control}), "Ctrl+,");
    // Without a keyboard a character key has no text, but special keys still do.
    EXPECT_EQ(Shortcut(Key::r, ModifierFlags::option).presentableDescription(nullptr),
              "Alt+\uFFFD");
    EXPECT_EQ(Shortcut(Key::f12, {}).presentableDescription(nullptr), "F12");
}

TEST(ShortcutTest, CharactersComeFromTheLayoutOnlyWhenTheyAreOneCharacter) {
    FakeKeyboardLayout layout;
    layout.setText(Key::q.rawValue, "ñ");
    layout.setText(Key::w.rawValue, "ab");       // a dead key's pending state
    layout.setText(Key::e.rawValue, "e\u0301");  // one character, two code points
    EXPECT_EQ(Shortcut(Key::q, {}).presentableDescription(&layout), "Ñ");
    EXPECT_EQ(Shortcut(Key::w, {}).presentableDescription(&layout), "\uFFFD");
    EXPECT_EQ(Shortcut(Key::e, {}).presentableDescription(&layout), "E\u0301");
    EXPECT_EQ(Shortcut(Key::q, {}).nsMenuItemKeyEquivalent(&layout), "ñ");
    EXPECT_FALSE(Shortcut(Key::w, {}).nsMenuItemKeyEquivalent(&layout));
    // A key equivalent holds one scalar, so a combining sequence cannot become one.
    EXPECT_FALSE(Shortcut(Key::e, {}).toDeclarativeKeyboardShortcut(&layout));
}

TEST(ShortcutTest, KeyCodesOutsideSixteenBitsNeverReachTheLayout) {
    FakeKeyboardLayout layout;
    layout.setText(15, "r");
    // 65536 + 15 would wrap to 15 ("r") if narrowed to 16 bits.
    EXPECT_EQ(Shortcut(65536 + 15, 0).presentableDescription(&layout), "\uFFFD");
    EXPECT_EQ(Shortcut(-1, 0).presentableDescription(&layout), "\uFFFD");
    EXPECT_EQ(layout.lookupCount(), 0);
}

TEST(ShortcutTest, SpecialKeysHaveTheirEquivalents) {
    FakeKeyboardLayout layout;
    int count = 0;
    for (int code = -5; code < 200; ++code) count += specialKeyFor(Key(code)).has_value();
    EXPECT_EQ(count, kSpecialKeyCount);
    EXPECT_EQ(keyFor(SpecialKey::keypadPlus), Key::keypadPlus);

    EXPECT_EQ(Shortcut(Key::f12, {}).nsMenuItemKeyEquivalent(&layout), "\uF70F");
    EXPECT_FALSE(Shortcut(Key::keypad5, {}).nsMenuItemKeyEquivalent(&layout));
    EXPECT_FALSE(Shortcut(Key::keypad5, {}).toDeclarativeKeyboardShortcut(&layout));
    EXPECT_EQ(Shortcut(Key::space, {}).nsMenuItemKeyEquivalent(&layout), " ");

    const auto help =
        Shortcut(Key::help, ModifierFlags::shift).toDeclarativeKeyboardShortcut(&layout);
    ASSERT_TRUE(help);
    EXPECT_EQ(help->key.character, kHelpFunctionKey);
    EXPECT_EQ(help->modifiers, EventModifiers::shift);
    const auto f20 = Shortcut(Key::f20, {}).toDeclarativeKeyboardShortcut(&layout);
    ASSERT_TRUE(f20);
    EXPECT_EQ(f20->key.character, 0xF717u);

    const auto r = Shortcut(Key::r, ModifierFlags::option | ModifierFlags::command)
                       .toDeclarativeKeyboardShortcut(&layout);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->key.character, U'r');
    EXPECT_EQ(r->modifiers, EventModifiers::option | EventModifiers::command);
}

TEST(ShortcutTest, EventFlagsConvertToToolkitModifiersIncludingLockAndPad) {
    const auto flags =
        ModifierFlags::capsLock | ModifierFlags::numericPad | ModifierFlags::function;
    EXPECT_EQ(flags.toEventModifiers(),
              EventModifiers::capsLock | EventModifiers::numericPad | EventModifiers::function);
    EXPECT_EQ(flags.carbon(), carbon::function);
    EXPECT_EQ(ModifierFlags{}.symbolicRepresentation(), "");
}

TEST(ShortcutTest, EqualValuesHashAlikeAndDescriptionIsTheDisplayText) {
    std::unordered_set<Shortcut> set{Shortcut(Key::r, ModifierFlags::option), Shortcut(15, 0x800)};
    EXPECT_EQ(set.size(), 1u);
    EXPECT_NE(Shortcut(15, 0x800), Shortcut(15, 0x200));
    const Shortcut f5(Key::f5, ModifierFlags::control);
    EXPECT_EQ(f5.description(nullptr), f5.presentableDescription(nullptr));
}

TEST(ShortcutTest, UnicodeScalarValuesOutsideTheRangeGiveNoCharacter) {
    EXPECT_EQ(characterFromUnicodeScalarValue(0x41), U'A');
    EXPECT_FALSE(characterFromUnicodeScalarValue(-1));
    EXPECT_FALSE(characterFromUnicodeScalarValue(0xD800));
    EXPECT_FALSE(characterFromUnicodeScalarValue(0x110000));
    EXPECT_TRUE(isFunctionKey(0xF726));
    EXPECT_FALSE(isFunctionKey(0xF727));
}

}  // namespace
}  // namespace vorela::Shortcuts
