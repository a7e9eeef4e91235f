#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace vorela {

// Gives the widget a tooltip whose text is read each time it is about to show, for texts
// that name something that can change meanwhile (a rebound or refused key).
void setLiveToolTip(QWidget* widget, std::function<QString()> text);

}  // namespace vorela
