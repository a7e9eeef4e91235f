#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QTest>
#include <QWidget>
#include <memory>

#include "App/AppStateEnvironment.h"
#include "App/PanelController.h"
#include "Platform/Capture/Fake/FakeScreenCapture.h"
#include "Platform/Input/Fake/FakeInput.h"
#include "Platform/LoginItem/Fake/FakeLoginItem.h"
#include "Platform/Screens/Fake/FakeScreens.h"
#include "Platform/Windows/Fake/FakePanelWindow.h"
#include "Platform/Workspace/Fake/FakeWorkspace.h"
#include "Shortcuts/ShortcutsEnvironment.h"
#include "Support/QtTestApp.h"

namespace vorela::testing {

// The central state and a panel controller over fakes, on one plain screen, for the
// settings and diagnostics windows.
class SettingsWindowFixture : public AppStateTest {
protected:
    SettingsWindowFixture() {
        qtTestApp();
        screens_.setScreens({FakeScreens::makeScreen("Interna", {0, 0, 1440, 900}, "1")});
    }
    ~SettingsWindowFixture() override { panel_.reset(); }

    PanelController& makePanel() {
        AppState& state = state_ ? *state_ : makeState();
        panel_ = std::make_unique<PanelController>(
            PanelController::Services{state, loop_, screens_, input_, windows_});
        return *panel_;
    }

    template <class T = QWidget>
    static T* child(const QWidget& root, const char* name) {
        T* found = root.findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    static QString text(const QWidget& root, const char* name) {
        auto* label = child<QLabel>(root, name);
        return label ? label->text() : QString();
    }

    // A click on the switch itself, not on the empty end of its row.
    static void clickToggle(QCheckBox* toggle) {
        ASSERT_NE(toggle, nullptr);
        QTest::mouseClick(toggle, Qt::LeftButton, {}, QPoint(8, toggle->height() / 2));
    }

    // Saves the widget as the build's test artifact and answers the picture for probes.
    static QImage screenshot(QWidget& widget, const char* fileName) {
        widget.ensurePolished();
        // Layouts changed by the last texts settle before the picture is taken.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        const QImage image = widget.grab().toImage();
        const QString folder = QDir::current().absoluteFilePath("artifacts");
        QDir().mkpath(folder);
        image.save(folder + "/" + fileName);
        return image;
    }

    Shortcuts::ShortcutsEnvironment shortcuts_;
    FakeScreens screens_;
    FakeScreenCapture screenCapture_{loop_};
    FakeWorkspace workspace_;
    FakeInput input_;
    FakePanelWindowFactory windows_;
    FakeLoginItem loginItem_;
    std::unique_ptr<PanelController> panel_;
};

}  // namespace vorela::testing
