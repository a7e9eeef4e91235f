#pragma once

#include <memory>

#include "Platform/Observation/ObserverList.h"
#include "Platform/Screens/Screens.h"

class QObject;
class QScreen;

namespace vorela {

// The screens Qt reports, turned from Qt's top-left, y-down virtual desktop into the
// bottom-left, y-up space of the core. A screen is identified by its output name
// ("HDMI-1") and shown by its model name, else the output name. Linux screens report no
// camera notch. Needs a QGuiApplication; GUI thread only.
class QtScreens final : public Screens {
public:
    QtScreens();
    ~QtScreens() override;
    QtScreens(const QtScreens&) = delete;
    QtScreens& operator=(const QtScreens&) = delete;
    QtScreens(QtScreens&&) = delete;
    QtScreens& operator=(QtScreens&&) = delete;

    std::vector<Screen> screens() const override;
    // The screen of the window with the focus, else the primary screen.
    std::optional<Screen> mainScreen() const override;
    [[nodiscard]] Subscription observeChanges(std::function<void()> onChange) override;

private:
    void watch(QScreen* screen);

    ObserverList<> observers_;
    // Owns the signal connections; destroyed first.
    std::unique_ptr<QObject> context_;
};

}  // namespace vorela
