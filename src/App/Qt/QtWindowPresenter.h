#pragma once

#include <QPointer>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "App/AppScenes.h"
#include "Platform/Log/Log.h"
#include "Platform/Loop/TimerHandle.h"

class QWidget;

namespace vorela {

class RunLoop;

// The application's windows, one per identifier, made on first open by the factory
// registered for it, titled and sized by its scene. Opening an open window raises it;
// closing a window destroys it, and the next open makes a new one. A window with the
// focus stays above the prompter panel. The windows are
// the presenter's: it deletes those still open when it goes. Main thread only.
class QtWindowPresenter final : public WindowPresenter {
public:
    // Seconds between activating the application and raising its windows.
    static constexpr double kRaiseDelaySeconds = 0.05;

    struct Opening {
        bool showsDebugTab = false;  // the settings window's matcher tab
    };
    using Factory = std::function<std::unique_ptr<QWidget>(const Opening&)>;
    // Hands an open window a changed opening; without one the window is made again.
    using Update = std::function<void(QWidget&, const Opening&)>;
    // Terminates the application; by default the Qt event loop ends.
    using Terminate = std::function<void()>;

    explicit QtWindowPresenter(RunLoop& loop, Terminate terminate = {});
    ~QtWindowPresenter() override;
    QtWindowPresenter(const QtWindowPresenter&) = delete;
    QtWindowPresenter& operator=(const QtWindowPresenter&) = delete;
    QtWindowPresenter(QtWindowPresenter&&) = delete;
    QtWindowPresenter& operator=(QtWindowPresenter&&) = delete;

    // Opening an identifier without a factory logs and does nothing.
    void registerWindow(WindowId id, Factory make, Update update = {});
    bool isRegistered(WindowId id) const { return entries_.contains(id); }
    // The open window of an identifier, or null.
    QWidget* window(WindowId id) const;

    void activateForWindow() override;
    void open(WindowId id, bool showsDebugTab) override;
    void dismiss(WindowId id) override;
    void terminate() override;

    // Raises the shown windows, the one opened last on top and active.
    void raiseContentWindows();

private:
    struct Entry {
        Factory make;
        Update update;
        QPointer<QWidget> window;
        Opening opening;
    };
    QWidget* make(WindowId id, Entry& entry, const Opening& opening);

    RunLoop& loop_;
    Terminate terminate_;
    std::map<WindowId, Entry> entries_;
    std::vector<WindowId> openingOrder_;  // last opened last
    Log logger_{"app"};
    TimerHandle raiseTimer_;  // last: cancelled before the windows go
};

}  // namespace vorela
