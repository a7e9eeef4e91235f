#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <string>
#include <string_view>
#include <vector>

#include "Platform/Foundation/Color.h"
#include "Platform/Foundation/Geometry.h"
#include "Render/PanelSilhouette.h"

class QBrush;
class QPainter;
class QPainterPath;
class QRectF;

// The small kit every window and view of the application shares.
//
// - Icons: symbolIcon() takes the symbol names of the original design ("play.fill",
//   "mic", "mic.fill", "hand.raised.slash", ...) and answers it in the given tint.
// - Colours: qColor() turns a core Color into a QColor; the named colours, text roles
//   and spacings of the views are in Style.
// - Texts: numbers in view texts go through vorela::format (locale-independent) and reach
//   Qt through qText(); Qt's locale never formats a number of ours.
// - Test fixtures: every control carries an objectName after its name in the design
//   ("playPauseButton", "remainingTimeLabel"), so tests find controls without coordinates.
namespace vorela::ViewKit {

QColor qColor(const Color& color, double alphaFactor = 1);
inline QString qText(const std::string& text) { return QString::fromStdString(text); }
QPainterPath qPath(const std::vector<PathElement>& elements);
// Fills a rectangle as fillRect does, in bands short enough that Qt keeps the work on
// this thread: it hands a fill of 96 rows or more to its thread pool, and for a frame's
// fills the hand-offs cost more CPU than they save.
void fillInBands(QPainter& painter, const QRectF& rect, const QBrush& brush);

// A symbol in a tint, rendered once per symbol, tint and size (IconCache): the theme's
// icon as a silhouette where it keeps the symbol's meaning, else our own glyph. A null
// icon or pixmap only for an unknown symbol name.
QIcon symbolIcon(std::string_view symbolName, const QColor& tint = Qt::white);
QPixmap symbolPixmap(std::string_view symbolName, const QColor& tint, int side);

}  // namespace vorela::ViewKit
