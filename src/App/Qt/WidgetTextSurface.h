#pragma once

#include <QPointer>

#include "App/PrompterTextSurface.h"

namespace vorela {

class PrompterTextWidget;

// The prompter widget as the central state sees it. Holds the widget weakly: once Qt has
// deleted it, the surface answers as an empty view and drops what it is told. Main
// thread only.
class WidgetTextSurface final : public PrompterTextSurface {
public:
    // Frames come from the widget's own display link.
    explicit WidgetTextSurface(PrompterTextWidget& widget);
    // Frames come from `frames` instead, which must outlive the surface's links.
    WidgetTextSurface(PrompterTextWidget& widget, DisplayLinkSource& frames);

    double scrollY() const override;
    void setScrollY(double y) override;
    double contentHeight() const override;
    double fontSize() const override;
    std::optional<double> scrollOffsetForToken(long index) const override;
    std::optional<long> tokenIndexAtReadingLine() const override;
    void setHoverMonitor(std::weak_ptr<HoverMonitor> monitor) override;
    std::unique_ptr<DisplayLink> makeDisplayLink(DisplayLink::FrameCallback onFrame) override;

private:
    QPointer<PrompterTextWidget> widget_;
    DisplayLinkSource* frames_ = nullptr;  // null: the widget makes the links
};

}  // namespace vorela
