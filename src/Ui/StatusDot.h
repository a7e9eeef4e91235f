#pragma once

#include <QColor>
#include <QWidget>

namespace vorela {

// The small round light of a voice status, as wide as the widget's fixed size. Setting
// the colour it already shows does nothing: bars set it on every refresh.
class StatusDot final : public QWidget {
    Q_OBJECT

public:
    explicit StatusDot(int diameter, QWidget* parent = nullptr);

    void setColor(const QColor& color);
    QColor color() const { return color_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor color_ = Qt::transparent;
};

}  // namespace vorela
