#pragma once

#include <QImage>
#include <QPainterPath>
#include <QWidget>
#include <vector>

namespace vorela {

// Cuts the panel to its silhouette: a see-through layer over everything else in its parent
// that, after the parent and its other children have painted, clears what lies outside the
// outline, with anti-aliased edges, so the desktop shows through the rounded corners. Only
// the corners are touched, so a frame costs next to nothing here. It never takes the
// pointer. Keep it the topmost child and the size of its parent.
class SilhouetteMask final : public QWidget {
    Q_OBJECT

public:
    explicit SilhouetteMask(QWidget* parent);

    void setNotch(bool isNotch);
    bool isNotch() const { return isNotch_; }
    // What lies outside the outline, in this widget's coordinates.
    const QPainterPath& outside() const { return outside_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void updateOutside();

    bool isNotch_ = false;
    QPainterPath outside_;
    // What outside_ covers at each corner, as an image of its coverage.
    struct Corner {
        QRect box;
        QImage coverage;
    };
    std::vector<Corner> corners_;
    qreal ratio_ = 1;  // the device pixel ratio the corners were drawn at
};

}  // namespace vorela
