#pragma once

#include <QDir>
#include <QImage>
#include <QWidget>

#include "Support/LibraryFixture.h"
#include "Support/QtTestApp.h"

namespace vorela::testing {

// The library fixture for the Qt tests of the main window and the library view.
class LibraryWindowTest : public LibraryTest {
protected:
    LibraryWindowTest() { qtTestApp(); }

    // Renders the widget into build/tests/artifacts/<name> and returns the image.
    static QImage screenshot(QWidget& widget, const char* name) {
        const QImage image = widget.grab().toImage();
        const QString folder = QDir::current().absoluteFilePath("artifacts");
        QDir().mkpath(folder);
        image.save(folder + "/" + name);
        return image;
    }
};

}  // namespace vorela::testing
