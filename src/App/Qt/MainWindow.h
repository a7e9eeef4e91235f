#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Platform/Observation/Subscription.h"

class QAction;

namespace vorela {

class AppState;
class MainControlBar;
class PanelControlling;
class PanelMenu;
class Pasteboard;
class ScriptLibrary;
class ScriptLibraryView;
class ScriptLibraryViewModel;

// The window "main": the script library above, the control bar below, and a toolbar
// that shows or hides the panel, holds the "Panel" menu and opens the voice diagnostics
// and the settings. It keeps no state of its own: it reads the central state, the panel
// controller and the library, and acts through their operations. Space plays and pauses
// while the window is active, unless a text field takes the key.
class MainWindow final : public QMainWindow {
    Q_OBJECT

public:
    struct Services {
        AppState& appState;
        PanelControlling& panelController;
        ScriptLibrary& library;
        const Pasteboard& pasteboard;
        // Opens, or brings to the front, the window with this identifier.
        std::function<void(const std::string&)> openWindowByID;
    };

    explicit MainWindow(Services services, QWidget* parent = nullptr);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;
    MainWindow(MainWindow&&) = delete;
    MainWindow& operator=(MainWindow&&) = delete;

    ScriptLibraryView& libraryView() { return *libraryView_; }
    MainControlBar& controlBar() { return *controlBar_; }
    PanelMenu& panelMenu() { return *panelMenu_; }

    void refresh();

private:
    void makeToolbar();

    Services services_;
    std::unique_ptr<ScriptLibraryViewModel> libraryModel_;
    ScriptLibraryView* libraryView_ = nullptr;
    MainControlBar* controlBar_ = nullptr;
    PanelMenu* panelMenu_ = nullptr;
    QAction* panelToggle_ = nullptr;
    // Last: their callbacks reach the widgets above.
    std::vector<Subscription> observations_;
};

}  // namespace vorela
