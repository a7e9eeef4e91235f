#pragma once

#include <QGraphicsEffect>
#include <QImage>

namespace vorela {

// Clips a widget and all its children to the panel's silhouette, with anti-aliased edges:
// outside the outline the panel stays transparent, so the desktop shows through the
// rounded corners.
class SilhouetteEffect final : public QGraphicsEffect {
    Q_OBJECT

public:
    explicit SilhouetteEffect(QObject* parent = nullptr) : QGraphicsEffect(parent) {}

    void setNotch(bool isNotch);
    bool isNotch() const { return isNotch_; }

protected:
    void draw(QPainter* painter) override;

private:
    bool isNotch_ = false;
    // Reused while the size stays: a frame allocates nothing.
    QImage buffer_;
};

}  // namespace vorela
