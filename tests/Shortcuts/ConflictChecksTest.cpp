#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Shortcuts/ConflictChecks.h"
#include "ShortcutsEnvironment.h"

namespace vorela::Shortcuts {
namespace {

MenuItem item(std::string title, std::string equivalent, ModifierFlags mask,
              std::vector<MenuItem> submenu = {}) {
    return MenuItem{std::move(title), std::move(equivalent), mask, std::nullopt,
                    std::move(submenu)};
}

std::vector<std::string> titles(const std::vector<const MenuItem*>& items) {
    std::vector<std::string> out;
    for (const auto* i : items) out.push_back(i->title);
    return out;
}

TEST(ConflictChecksTest, MenuItemsMatchByEquivalentAndExactMask) {
    FakeKeyboardLayout keyboard;
    const Shortcut shiftA(Key::a, ModifierFlags::shift);
    const Shortcut plainA(Key::a, ModifierFlags{});
    const Shortcut commandS(Key::s, ModifierFlags::command);
    struct Case {
        const char* name;
        MenuItem menuItem;
        Shortcut shortcut;
        bool matches;
    };
    const Case cases[] = {
        {"upper-case A without Shift matches Shift-A", item("A", "A", {}), shiftA, true},
        {"upper-case A does not match plain A", item("A", "A", {}), plainA, false},
        {"lower-case a with Shift matches Shift-A", item("a", "a", ModifierFlags::shift), shiftA,
         true},
        {"an extra flag in the mask does not match",
         item("s", "s", ModifierFlags::command | ModifierFlags::numericPad), commandS, false},
        {"Command-S matches", item("s", "s", ModifierFlags::command), commandS, true},
        {"no equivalent never matches", item("none", "", {}), plainA, false},
        {"a special key's equivalent", item("left", "←", ModifierFlags::option),
         Shortcut(Key::leftArrow, ModifierFlags::option), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<MenuItem> menu{c.menuItem};
        EXPECT_EQ(menuItemsWithMatchingShortcut(c.shortcut, menu, &keyboard).size(),
                  c.matches ? 1u : 0u);
    }
}

TEST(ConflictChecksTest, SubmenusAreSearchedDepthFirstParentBeforeChildren) {
    FakeKeyboardLayout keyboard;
    const ModifierFlags cmd = ModifierFlags::command;
    const std::vector<MenuItem> menu{
        item("Archivo", "p", cmd,
             {item("Otro", "q", cmd, {item("Profundo", "p", cmd)}), item("Hijo", "p", cmd)}),
        item("Después", "p", cmd),
    };
    EXPECT_EQ(titles(menuItemsWithMatchingShortcut(Shortcut(Key::p, cmd), menu, &keyboard)),
              (std::vector<std::string>{"Archivo", "Profundo", "Hijo", "Después"}));
}

TEST(ConflictChecksTest, SystemListSkipsF12AloneAndNormalisesWhatTheRegistrarRefused) {
    ShortcutsEnvironment env;
    env.registrar.holdByAnotherProgram(49, 0x800);
    const Name play = Name::declare("togglePlay", kOptionSpace);
    onKeyDown(play, [] {});
    const auto system = systemShortcuts(env.center());
    ASSERT_EQ(system, (std::vector<Shortcut>{kOptionSpace}));
    EXPECT_TRUE(isTakenBySystem(kOptionSpace, system));
    EXPECT_FALSE(isTakenBySystem(kOptionR, system));
    const Shortcut f12(Key::f12, ModifierFlags{});
    EXPECT_FALSE(isTakenBySystem(f12, {f12}));
    const Shortcut shiftF12(Key::f12, ModifierFlags::shift);
    EXPECT_TRUE(isTakenBySystem(shiftF12, {shiftF12}));
}

TEST(ConflictChecksTest, TheOptionOnlyRuleHoldsOnlyInTheSandboxOnMacOS15Point0And15Point1) {
    const Shortcut optionSpace = kOptionSpace;
    const Shortcut optionShiftA(Key::a, ModifierFlags::option | ModifierFlags::shift);
    const Shortcut optionCommand(Key::space, ModifierFlags::option | ModifierFlags::command);
    const Shortcut controlOption(Key::space, ModifierFlags::option | ModifierFlags::control);
    struct Case {
        const char* name;
        Shortcut shortcut;
        SystemVersion version;
        bool sandboxed;
        bool disallowed;
    };
    const Case cases[] = {
        {"15.1 sandboxed, Option alone", optionSpace, {15, 1}, true, true},
        {"15.0 sandboxed, Option and Shift", optionShiftA, {15, 0}, true, true},
        {"15.1 sandboxed, Option and Command", optionCommand, {15, 1}, true, false},
        {"15.1 sandboxed, Control and Option", controlOption, {15, 1}, true, false},
        {"15.2", optionSpace, {15, 2}, true, false},
        {"outside the sandbox", optionSpace, {15, 1}, false, false},
        {"Linux", optionSpace, {}, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(isDisallowedByOptionOnlyRule(c.shortcut, c.version, c.sandboxed), c.disallowed);
    }
}

}  // namespace
}  // namespace vorela::Shortcuts
