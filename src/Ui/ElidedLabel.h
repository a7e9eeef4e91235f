#pragma once

#include <QLabel>
#include <QString>

namespace vorela {

// One line of text that never runs off its room: drawn cut with "…" where it does not
// fit, the whole text always in text() and in the tooltip. It takes what its layout
// leaves it.
class ElidedLabel final : public QLabel {
    Q_OBJECT

public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    void setFullText(const QString& text);
    // What is drawn at the present width.
    QString displayedText() const;

    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace vorela
