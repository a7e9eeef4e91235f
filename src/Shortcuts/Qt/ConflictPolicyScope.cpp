#include "Shortcuts/Qt/ConflictPolicyScope.h"

#include <QVariant>
#include <QWidget>

namespace vorela::Shortcuts {
namespace {

constexpr const char* kProperty = "vorelaConflictPolicy";

}  // namespace

void setShortcutsConflictPolicy(QWidget& widget, ConflictPolicy policy) {
    widget.setProperty(kProperty, QVariantList{static_cast<int>(policy.menuItem),
                                               static_cast<int>(policy.systemShortcut),
                                               static_cast<int>(policy.disallowed)});
}

ConflictPolicy shortcutsConflictPolicy(const QWidget* widget) {
    for (; widget; widget = widget->parentWidget()) {
        const QVariantList values = widget->property(kProperty).toList();
        if (values.size() != 3) continue;
        return {static_cast<ConflictBehavior>(values[0].toInt()),
                static_cast<ConflictBehavior>(values[1].toInt()),
                static_cast<ConflictBehavior>(values[2].toInt())};
    }
    return ConflictPolicy::defaultPolicy();
}

}  // namespace vorela::Shortcuts
