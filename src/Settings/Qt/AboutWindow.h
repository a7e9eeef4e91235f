#pragma once

#include <QWidget>

namespace vorela {

class Workspace;

// The window "Acerca de Vorela": the product's name and version, one sentence on where
// the voice goes, and links opened with the desktop's handler. Fixed 380 points wide,
// as tall as its content.
class AboutWindow final : public QWidget {
    Q_OBJECT

public:
    static constexpr int kWidthPoints = 380;

    explicit AboutWindow(Workspace& workspace, QWidget* parent = nullptr);

private:
    Workspace& workspace_;
};

}  // namespace vorela
