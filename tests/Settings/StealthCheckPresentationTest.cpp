#include <gtest/gtest.h>

#include "Settings/StealthCheckPresentation.h"

namespace vorela {
namespace {

using Status = StealthChecker::Status;
using Outcome = StealthCheckPresentation::Outcome;

StealthCheckPresentation present(const Status& status, bool panelVisible,
                                 const std::optional<StealthResult>& stored = {},
                                 bool stale = false, bool hasCapturePermission = false) {
    return StealthCheckPresentation::make({status, panelVisible, stored, stale,
                                           [](Date) { return std::string("7 dic 2026, 10:30"); },
                                           hasCapturePermission});
}

TEST(StealthCheckPresentationTest, TheButtonFollowsTheCheckAndThePanel) {
    struct Case {
        const char* name;
        Status::Kind kind;
        bool panelVisible;
        const char* title;
        bool enabled;
        bool hint;
    } cases[] = {
        {"idle, panel shown", Status::Kind::idle, true, "Verificar discreción", true, false},
        {"idle, panel hidden", Status::Kind::idle, false, "Verificar discreción", false, true},
        {"capturing, panel hidden", Status::Kind::capturing, false, "Verificando…", false, true},
        {"preparing", Status::Kind::preparing, true, "Verificando…", false, false},
        {"failed", Status::Kind::failed, true, "Verificar discreción", true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto p = present(Status::of(c.kind), c.panelVisible);
        EXPECT_EQ(p.buttonTitle, c.title);
        EXPECT_EQ(p.isButtonEnabled, c.enabled);
        EXPECT_EQ(p.showsPanelHint, c.hint);
    }
    EXPECT_EQ(present(Status::of(Status::Kind::capturing), true).outcome, Outcome::progress);
}

TEST(StealthCheckPresentationTest, ADoneCheckGivesItsVerdict) {
    const auto hidden = present(Status::done({false, "6.1.0", Date{1}, 0.004}), true);
    EXPECT_EQ(hidden.outcome, Outcome::done);
    EXPECT_EQ(hidden.title, "Tu prompter no aparece en capturas de pantalla completa");
    EXPECT_EQ(hidden.detail, "Medido en Linux 6.1.0 el 7 dic 2026, 10:30 · patrón detectado: 0.4%");
    EXPECT_TRUE(hidden.advice.empty());

    const auto visible = present(Status::done({true, "6.1.0", Date{1}, 0.987}), true);
    EXPECT_TRUE(visible.isVisible);
    EXPECT_EQ(visible.title, "Tu prompter SÍ aparece al compartir la pantalla completa");
    EXPECT_NE(visible.detail.find("patrón detectado: 98.7%"), std::string::npos);
    EXPECT_EQ(visible.advice,
              "Compartí una ventana en vez de la pantalla completa, o presentá desde un monitor "
              "externo.");
}

TEST(StealthCheckPresentationTest, IdleShowsTheStoredResultAndFailureHidesIt) {
    const StealthResult stored{true, "6.0.0", Date{1}, 0.9};
    EXPECT_EQ(present(Status{}, true).outcome, Outcome::none) << "nothing stored";
    const auto earlier = present(Status{}, true, stored);
    EXPECT_EQ(earlier.storedLine, "Última verificación: aparecía en Linux 6.0.0");
    EXPECT_FALSE(earlier.isStale);
    const auto stale = present(Status{}, true, stored, true);
    EXPECT_EQ(stale.storedLine,
              "Tu sistema se actualizó desde la última verificación. Conviene repetirla.");
    EXPECT_TRUE(stale.isStale);
    const auto failed = present(Status::failed("No se pudo capturar la pantalla."), true, stored);
    EXPECT_EQ(failed.outcome, Outcome::failed);
    EXPECT_EQ(failed.title, "No se pudo capturar la pantalla.");
    EXPECT_TRUE(failed.storedLine.empty());
}

TEST(StealthCheckPresentationTest, OnlyAFailureWhereAPermissionExistsOffersIt) {
    const auto denied = Status::failed("Esta sesión no deja leer la pantalla.");
    EXPECT_TRUE(present(denied, true, {}, false, true).showsPermissionsAction);
    EXPECT_FALSE(present(denied, true).showsPermissionsAction) << "no such permission on X11";
    const auto done = Status::done({true, "6.1.0", Date{1}, 0.9});
    EXPECT_FALSE(present(done, true, {}, false, true).showsPermissionsAction);
    EXPECT_FALSE(present(Status{}, true, {}, false, true).showsPermissionsAction);
}

}  // namespace
}  // namespace vorela
