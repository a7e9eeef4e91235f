#pragma once

#include <QGraphicsEffect>

class QWidget;

namespace vorela {

// Draws a widget and its children at an opacity from a picture of them that Qt keeps
// until one of them changes. A widget over an animated one (the control bar over the
// scrolling text) is otherwise painted again, children and all, in every frame of what
// lies beneath it. Installs itself on the widget, which owns it.
class CachedOpacityEffect final : public QGraphicsEffect {
    Q_OBJECT

public:
    explicit CachedOpacityEffect(QWidget* widget);

    void setOpacity(double opacity);
    double opacity() const { return opacity_; }
    // How many times the widget was painted for this effect, for tests.
    int sourcePaints() const { return sourcePaints_; }

protected:
    void draw(QPainter* painter) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    double opacity_ = 1;
    // Qt's picture of the source is whole: it is dropped when the widget or a child
    // changes, and the source is then painted straight until a picture is taken again.
    bool pictureTaken_ = false;
    int sourcePaints_ = 0;
};

}  // namespace vorela
