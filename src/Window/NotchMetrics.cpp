#include "Window/NotchMetrics.h"

#include "Platform/Screens/Screens.h"

namespace vorela {

NotchMetrics::NotchMetrics(const Screen& screen)
    : screenFrame(screen.frame), visibleFrame(screen.visibleFrame) {
    const double top = screen.safeAreaTopInset;
    if (!(top > 0) || !screen.auxiliaryTopLeftArea || !screen.auxiliaryTopRightArea) return;
    const double left = screen.auxiliaryTopLeftArea->width;
    const double right = screen.auxiliaryTopRightArea->width;
    const double width = screenFrame.width - left - right;
    if (!(width > 0)) return;
    notchRect = Rect{screenFrame.minX() + left, screenFrame.maxY() - top, width, top};
}

}  // namespace vorela
