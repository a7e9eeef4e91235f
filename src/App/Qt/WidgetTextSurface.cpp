#include "App/Qt/WidgetTextSurface.h"

#include "Render/Qt/PrompterTextWidget.h"

namespace vorela {

WidgetTextSurface::WidgetTextSurface(PrompterTextWidget& widget) : widget_(&widget) {}

WidgetTextSurface::WidgetTextSurface(PrompterTextWidget& widget, DisplayLinkSource& frames)
    : widget_(&widget), frames_(&frames) {}

double WidgetTextSurface::scrollY() const { return widget_ ? widget_->view().scrollY() : 0; }

void WidgetTextSurface::setScrollY(double y) {
    // The view redraws only when the offset really changed.
    if (widget_) widget_->view().setScrollY(y);
}

double WidgetTextSurface::contentHeight() const {
    return widget_ ? widget_->view().contentHeight() : 0;
}

double WidgetTextSurface::fontSize() const {
    return widget_ ? widget_->view().theme().fontSize : 0;
}

std::optional<double> WidgetTextSurface::scrollOffsetForToken(long index) const {
    if (!widget_) return std::nullopt;
    return widget_->view().scrollOffsetForToken(index);
}

std::optional<long> WidgetTextSurface::tokenIndexAtReadingLine() const {
    if (!widget_) return std::nullopt;
    return widget_->view().tokenIndexAtReadingLine();
}

void WidgetTextSurface::setHoverMonitor(std::weak_ptr<HoverMonitor> monitor) {
    if (widget_) widget_->view().setHoverMonitor(std::move(monitor));
}

std::unique_ptr<DisplayLink> WidgetTextSurface::makeDisplayLink(
    DisplayLink::FrameCallback onFrame) {
    if (frames_) return frames_->makeDisplayLink(std::move(onFrame));
    if (!widget_) return nullptr;
    return widget_->makeDisplayLink(std::move(onFrame));
}

}  // namespace vorela
