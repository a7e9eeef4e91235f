#include "Ui/LiveToolTip.h"

#include <QEvent>
#include <QObject>
#include <QWidget>

namespace vorela {
namespace {

class ToolTipRefresher final : public QObject {
public:
    ToolTipRefresher(QWidget* widget, std::function<QString()> text)
        : QObject(widget), text_(std::move(text)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ToolTip) static_cast<QWidget*>(watched)->setToolTip(text_());
        return false;  // Qt shows the tooltip as usual
    }

private:
    std::function<QString()> text_;
};

}  // namespace

void setLiveToolTip(QWidget* widget, std::function<QString()> text) {
    widget->setToolTip(text());
    widget->installEventFilter(new ToolTipRefresher(widget, std::move(text)));
}

}  // namespace vorela
