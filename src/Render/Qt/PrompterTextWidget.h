#pragma once

#include <QImage>
#include <QWidget>
#include <memory>
#include <optional>

#include "Platform/Display/DisplayLink.h"
#include "Render/PrompterTextView.h"
#include "Render/Qt/QtTextLayoutEngine.h"

namespace vorela {

class Clock;

// The prompter text on screen: paints what PrompterTextView computes and forwards wheel,
// click and hover events to it. A click is a left press and release in one place: a
// press that goes on to drag moves the panel and picks no word. A frame paints into an offscreen
// image (so the edge fade can mask the text without erasing what lies beneath the widget), then
// draws that image mirrored about the centre. No layout happens while scrolling. Main thread only.
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
    // Paints one frame into frame_, which is reused while the widget keeps its size, so a
    // scrolling frame allocates no image.
    const QImage& renderUnmirrored() const;

    const Clock& clock_;
    QtTextLayoutEngine engine_;
    PrompterTextView view_;
    mutable QImage frame_;
    std::optional<QPointF> pressedAt_;  // the left button's press, until it comes up
    // Last: the view asks for no repaint of a widget on its way out.
    Subscription needsDisplay_;
};

}  // namespace vorela
