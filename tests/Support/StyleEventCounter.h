#pragma once

#include <QEvent>
#include <QObject>
#include <QWidget>

namespace vorela::testing {

// Counts the style and tooltip changes of a widget and of the descendants it has now:
// what a view that re-applies style sheets or tooltips on every refresh sends for nothing.
class StyleEventCounter final : public QObject {
public:
    explicit StyleEventCounter(QWidget& root) {
        root.installEventFilter(this);
        for (QWidget* child : root.findChildren<QWidget*>()) child->installEventFilter(this);
    }
    int styleChanges = 0;
    int toolTipChanges = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        styleChanges += event->type() == QEvent::StyleChange;
        toolTipChanges += event->type() == QEvent::ToolTipChange;
        return false;
    }
};

}  // namespace vorela::testing
