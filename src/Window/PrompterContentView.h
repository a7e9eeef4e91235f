#pragma once

#include <string>
#include <vector>

#include "Platform/Foundation/Color.h"
#include "Platform/Foundation/Geometry.h"
#include "Window/PanelMode.h"

namespace vorela {

class VoiceStatus;
struct VoiceProfile;

// What the panel content shows, computed without a toolkit: the remaining-time text, the
// top inset under a notch, the status dot, the level meter and the panel's silhouette.
// The Qt content widget paints these; the library view reuses timeString.
namespace PrompterContentView {

// Seconds rounded to whole seconds (halves away from zero) as "m:ss" below an hour, else
// "h:mm:ss". A negative or non-finite duration reads "0:00".
std::string timeString(double seconds);

// The text starts this far below the top edge: the notch height in the notch placement.
double topInset(PanelMode effectiveMode, double notchHeight);

// The status dot's colour; clear while the voice is off.
Color matchStateColor(const VoiceStatus& status);

// Where the speech threshold of the profile sits on the meter, as a fraction of its width.
// The meter spans -60 to 0 dBFS.
double meterMarkerFraction(const VoiceProfile& profile);
// The meter's fill: green while speaking, else dim white.
Color meterFillColor(bool isSpeaking);

// The test pattern of the screen-share check: opaque magenta, the same for the whole run.
const Color& stealthPatternColor();

}  // namespace PrompterContentView

}  // namespace vorela
