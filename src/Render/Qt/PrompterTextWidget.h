#pragma once

#include <QImage>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "Platform/Display/DisplayLink.h"
#include "Render/PrompterTextView.h"
#include "Render/Qt/LineImageCache.h"
#include "Render/Qt/QtTextLayoutEngine.h"

class QPainter;

namespace vorela {

class Clock;
struct FrameShading;

// The prompter text on screen: paints what PrompterTextView computes and forwards wheel,
// click and hover events to it. A click is a left press and release in one place: a
// press that goes on to drag moves the panel and picks no word. A frame paints straight
// onto whatever lies beneath (the panel's backing store): the edge fade and the dim are
// applied to each line's cached image as it is blended, so nothing beneath is erased and
// glyphs are rasterised once per line, not per frame. No layout happens while scrolling.
// Main thread only.
class PrompterTextWidget final : public QWidget, public DisplayLinkSource {
    Q_OBJECT

public:
    // clock must outlive the widget; it paces the display links made from it.
    PrompterTextWidget(const Clock& clock, const Theme& theme, QWidget* parent = nullptr);
    ~PrompterTextWidget() override;

    PrompterTextView& view() { return view_; }
    const PrompterTextView& view() const { return view_; }

    // One frame as drawn on screen (mirrored, faded), on a transparent background.
    QImage renderFrame() const;
    // Paints one frame onto p, in this widget's coordinates.
    void paintFrame(QPainter& p) const;

    std::unique_ptr<DisplayLink> makeDisplayLink(DisplayLink::FrameCallback onFrame) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    // What a frame showed, so a change can repaint only what differs.
    struct Shown {
        double scrollY = 0;
        Size size;
        Theme theme;
        std::uint64_t layoutGeneration = 0;
        std::optional<Rect> highlight;
    };
    Shown shown() const;
    void needsDisplay();
    QRegion highlightArea(const std::optional<Rect>& highlight) const;
    QRegion repaintRegion() const;
    void drawLines(QPainter& p, const FrameShading& shading) const;
    // image, to be placed at view height y, with the fade and dim of its rows applied. The
    // result borrows a buffer of this widget: draw it before the next call.
    QImage shadedLine(const QImage& image, double y, bool flipY, const FrameShading& shading) const;

    const Clock& clock_;
    QtTextLayoutEngine engine_;
    PrompterTextView view_;
    std::optional<QPointF> pressedAt_;
    std::optional<Shown> painted_;  // the last frame painted on screen
    // Painting is const; what it keeps between frames is not the widget's state.
    mutable LineImageCache lines_;
    mutable std::vector<std::uint32_t> shadeBuffer_;  // the left button's press, until it comes up
    // Last: the view asks for no repaint of a widget on its way out.
    Subscription needsDisplay_;
};

}  // namespace vorela
