#include <gtest/gtest.h>

#include "App/AppMainMenu.h"
#include "App/StatusMenu.h"
#include "Platform/Keys/Fake/FakeKeyboardLayout.h"
#include "Shortcuts/ConflictChecks.h"

namespace vorela {
namespace {

using Shortcuts::Key;
using Shortcuts::ModifierFlags;
using Shortcuts::Shortcut;

// Recording Ctrl+Q, Ctrl+, or Ctrl+0 raised no alert although the menus show those keys:
// the recorder's check must see the menus' keys as the keys a user presses.
TEST(AppMainMenuTest, TheRecordersCheckFindsTheItemShowingThePressedKeys) {
    StatusMenu::Inputs inputs;
    inputs.togglePanelKey = Shortcuts::KeyboardShortcut{{U'p'}, Shortcuts::EventModifiers::option};
    AppMainMenu menu([&] { return StatusMenu::build(inputs); });
    FakeKeyboardLayout layout;
    struct Case {
        const char* name;
        Shortcut recorded;
        std::vector<std::string> titles;
        std::optional<std::string> boundName;
    };
    const Case cases[] = {
        {"Ctrl+Q", Shortcut(Key::q, ModifierFlags::control), {"Salir"}, std::nullopt},
        {"Ctrl+,", Shortcut(Key::comma, ModifierFlags::control), {"Preferencias…"}, std::nullopt},
        {"Ctrl+0",
         Shortcut(Key::zero, ModifierFlags::control),
         {"Ventana principal…"},
         std::nullopt},
        {"the panel's own keys",
         Shortcut(Key::p, ModifierFlags::option),
         {"Mostrar prompter"},
         "togglePanel"},
        {"Super+Q", Shortcut(Key::q, ModifierFlags::command), {}, std::nullopt},
        {"Ctrl+Mayús+Q",
         Shortcut(Key::q, ModifierFlags::control | ModifierFlags::shift),
         {},
         std::nullopt},
        {"Alt+Q", Shortcut(Key::q, ModifierFlags::option), {}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto items = menu.items();
        std::vector<std::string> titles;
        std::optional<std::string> boundName;
        for (const auto* item :
             Shortcuts::menuItemsWithMatchingShortcut(c.recorded, items, &layout)) {
            titles.push_back(item->title);
            boundName = item->boundName;
        }
        EXPECT_EQ(titles, c.titles);
        EXPECT_EQ(boundName, c.boundName);
    }
}

TEST(AppMainMenuTest, SeparatorsAndLabelsAreNoItemsAndSubmenusKeepTheirItems) {
    MenuItem sub = MenuItem::make(MenuItem::Kind::submenu, "Modo", "modeMenu");
    sub.submenu = {MenuItem::make(MenuItem::Kind::action, "Manual", "mode:manual"),
                   MenuItem::separator(), MenuItem::label("nota")};
    const auto described = AppMainMenu::describe({MenuItem::separator(), sub});
    ASSERT_EQ(described.size(), 1u);
    EXPECT_EQ(described[0].title, "Modo");
    ASSERT_EQ(described[0].submenu.size(), 1u);
    EXPECT_EQ(described[0].submenu[0].title, "Manual");
    EXPECT_TRUE(described[0].submenu[0].keyEquivalent.empty());
    EXPECT_TRUE(AppMainMenu(nullptr).items().empty());
}

}  // namespace
}  // namespace vorela
