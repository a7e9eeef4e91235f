#include "App/Qt/PanelMenu.h"

#include <QActionGroup>

#include "App/AppState.h"
#include "App/PanelControlling.h"
#include "Prefs/Prefs.h"
#include "Ui/ViewKit.h"
#include "Window/PanelPlacement.h"

namespace vorela {

namespace {

constexpr PanelMode kPanelModes[] = {PanelMode::notch, PanelMode::floating, PanelMode::fullscreen};
constexpr MirrorMode kMirrorModes[] = {MirrorMode::none, MirrorMode::horizontal,
                                       MirrorMode::vertical, MirrorMode::rotated180};

// An inline picker: its title as a section, then one checkable entry per case.
template <class Mode, std::size_t N, class Choose>
void addPicker(QMenu& menu, const char* title, const char* prefix, const Mode (&modes)[N],
               Mode current, Choose choose) {
    menu.addSection(title);
    auto* group = new QActionGroup(&menu);
    for (Mode mode : modes) {
        QAction* action = menu.addAction(ViewKit::qText(localizedName(mode)));
        action->setObjectName(QString(prefix) + ViewKit::qText(std::string(rawValue(mode))));
        action->setCheckable(true);
        action->setChecked(mode == current);
        group->addAction(action);
        QObject::connect(action, &QAction::triggered, &menu, [choose, mode] { choose(mode); });
    }
}

}  // namespace

PanelMenu::PanelMenu(AppState& appState, PanelControlling& panel, QWidget* parent)
    : QMenu("Panel", parent), appState_(appState), panel_(panel) {
    setObjectName("panelMenu");
    connect(this, &QMenu::aboutToShow, this, [this] { refresh(); });
    refresh();
}

void PanelMenu::refresh() {
    clear();
    addPicker(*this, "Posición", "panelMode:", kPanelModes, panel_.mode(),
              [this](PanelMode mode) { panel_.setMode(mode); });
    addPicker(*this, "Espejo", "mirror:", kMirrorModes, appState_.theme.get().mirror,
              [this](MirrorMode mirror) { appState_.setMirrorMode(mirror); });
    const auto screens = panel_.availableScreens();
    if (screens.size() >= 2) {
        QMenu* screenMenu = addMenu("Pantalla");
        screenMenu->setObjectName("screenMenu");
        for (const auto& screen : screens) {
            QAction* action = screenMenu->addAction(ViewKit::qText(screen.name));
            action->setObjectName("screen:" + ViewKit::qText(screen.id));
            connect(action, &QAction::triggered, this,
                    [this, id = screen.id] { panel_.moveToScreen(id); });
        }
    }
    addSeparator();
    QAction* passThrough = addAction("Los clicks pasan a través");
    passThrough->setObjectName("passThroughToggle");
    passThrough->setCheckable(true);
    passThrough->setChecked(Prefs::get(Prefs::Keys::passThrough()));
    connect(passThrough, &QAction::toggled, this, [this](bool on) {
        Prefs::set(Prefs::Keys::passThrough(), on);
        panel_.applyPassThrough();
    });
}

}  // namespace vorela
