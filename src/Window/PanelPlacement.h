#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "Platform/Foundation/Geometry.h"
#include "Platform/Screens/Screens.h"
#include "Prefs/Key.h"
#include "Window/NotchMetrics.h"
#include "Window/PanelGeometry.h"
#include "Window/PanelMode.h"

namespace vorela {

// Saved floating frames by screen identifier.
using PanelGeometryByScreen = std::map<std::string, PanelGeometry>;

// Where the prompter panel goes: pure functions of the screens and the panel settings.
// All rectangles are desktop points, origin at the primary screen's bottom-left, y up.
namespace PanelPlacement {

// The identifier saved frames and the preferred screen are keyed by: the display's device
// identifier, else its shown name (two unnumbered screens of one name share it).
std::string screenIdentifier(const Screen& screen);

// The screen to place the panel on, first rule that yields one: the preferred screen, the
// first screen with a notch inset (notch mode only), the first screen meeting the panel's
// frame, the main screen, the first screen. Nothing only when no screen is connected.
std::optional<Screen> chooseScreen(const std::vector<Screen>& screens,
                                   const std::optional<Screen>& mainScreen,
                                   const std::optional<std::string>& preferredScreen,
                                   PanelMode configuredMode, const std::optional<Rect>& panelFrame);

// The screen a window with this frame is on: the one it shares the most area with.
std::optional<Screen> screenOfFrame(const std::vector<Screen>& screens, const Rect& frame);

// v taken to the nearest integer, halves away from zero.
double nearest(double v);

// The frame a new panel gets, and the floating frame of a screen with nothing saved: the
// notch rectangle where the screen has a notch, else centred just under the top bar.
Rect defaultFrame(Size size, const NotchMetrics& metrics);

// The saved floating frame of the screen, used only while it still meets the screen.
std::optional<Rect> savedFrame(const PanelGeometryByScreen& saved, const std::string& screenId,
                               const NotchMetrics& metrics);

// One placement of the panel on a screen.
struct Request {
    PanelMode configuredMode = PanelMode::notch;
    double panelWidth = 620;   // as stored; clamped by the configured mode here
    double panelHeight = 160;  // without the notch
    PanelGeometryByScreen saved;
};

struct Placement {
    PanelMode effectiveMode = PanelMode::notch;
    // The configured notch placement is shown floating because the screen has no notch.
    bool didFallBackToFloating = false;
    bool hasNotch = false;
    // The notch height in the notch placement, else 0: the content's top inset.
    double notchHeight = 0;
    Rect frame;
    // Floating panels are movable and resizable within these limits; others are fixed.
    std::optional<PanelSizeLimits> windowLimits;
};

// Resolves the effective placement and its frame. Logs the notch fallback each time.
Placement place(const Request& request, const Screen& screen);

// The height of the band where the frame covers the screen's notch, else 0.
double notchPart(const Rect& frame, const NotchMetrics& metrics);

// What a move or resize of the panel saves, or nothing when nothing is saved (no screen
// under the panel, or a fixed placement).
struct SavedGeometry {
    std::string screenIdentifier;
    PanelGeometry entry;  // the frame as it is, under the configured mode's raw value
    double panelWidth = 0;
    double panelHeight = 0;  // without the part of the frame that covers the notch
};

std::optional<SavedGeometry> geometryToSave(PanelMode configuredMode, bool didFallBackToFloating,
                                            const Rect& panelFrame,
                                            const std::optional<Screen>& panelScreen);

// The stored panel settings as a placement request.
Request requestFromPreferences();
// Writes the screen's entry into the saved frames and stores the width and height.
void save(const SavedGeometry& geometry);

}  // namespace PanelPlacement

namespace Prefs::Keys {
const Key<PanelMode>& panelMode();
const Key<double>& panelWidth();   // stored clamped to the configured mode
const Key<double>& panelHeight();  // without the notch, stored clamped
const Key<PanelGeometryByScreen>& panelGeometryByScreen();
const Key<std::optional<std::string>>& preferredScreen();
const Key<bool>& passThrough();      // clicks pass through unless the modifier is held
const Key<bool>& glassBackground();  // blurred translucent panel background
}  // namespace Prefs::Keys

}  // namespace vorela
