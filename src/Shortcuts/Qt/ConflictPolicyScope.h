#pragma once

#include "Shortcuts/ConflictPolicy.h"

class QWidget;

namespace vorela::Shortcuts {

// The conflict policy a screen sets for every recorder inside it: a recorder uses the
// policy of its nearest ancestor that set one, else the default.
void setShortcutsConflictPolicy(QWidget& widget, ConflictPolicy policy);
ConflictPolicy shortcutsConflictPolicy(const QWidget* widget);

}  // namespace vorela::Shortcuts
