#pragma once

#include <QObject>

class QWidget;

namespace vorela {

// Keeps a window the user opened above the prompter panel while it has the focus. The
// panel stays on top of ordinary windows, so a window opened under it had its title bar
// and buttons hidden; losing the focus returns the window to the ordinary layer. The
// filter belongs to the window. Main thread only.
class AboveWhileActive final : public QObject {
    Q_OBJECT

public:
    static void install(QWidget& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit AboveWhileActive(QWidget& window);
};

}  // namespace vorela
