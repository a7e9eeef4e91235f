#include "App/Qt/MainWindow.h"

#include <QFrame>
#include <QShortcut>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "App/AppState.h"
#include "App/GlobalShortcuts.h"
#include "App/MainWindowModel.h"
#include "App/PanelControlling.h"
#include "App/Qt/MainControlBar.h"
#include "App/Qt/PanelMenu.h"
#include "App/Qt/ScriptLibraryView.h"
#include "App/ScriptLibraryViewModel.h"
#include "Ui/LiveToolTip.h"
#include "Ui/ViewKit.h"

namespace vorela {

MainWindow::MainWindow(Services services, QWidget* parent)
    : QMainWindow(parent),
      services_(std::move(services)),
      libraryModel_(std::make_unique<ScriptLibraryViewModel>(services_.appState, services_.library,
                                                             services_.pasteboard)) {
    setObjectName("mainWindow");
    setWindowTitle("Vorela");
    auto* root = new QWidget(this);
    root->setObjectName("mainWindowView");
    root->setMinimumSize(860, 560);
    auto* column = new QVBoxLayout(root);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    libraryView_ = new ScriptLibraryView(*libraryModel_, root);
    column->addWidget(libraryView_, 1);
    auto* divider = new QFrame(root);
    divider->setFrameShape(QFrame::HLine);
    column->addWidget(divider);
    controlBar_ = new MainControlBar(services_.appState, services_.panelController, root);
    column->addWidget(controlBar_);
    setCentralWidget(root);
    makeToolbar();

    // A focused text field takes Space for itself before this shortcut sees it.
    auto* space = new QShortcut(QKeySequence(Qt::Key_Space), this);
    space->setObjectName("playPauseShortcut");
    space->setContext(Qt::WindowShortcut);
    connect(space, &QShortcut::activated, controlBar_, &MainControlBar::playPause);

    observations_.push_back(services_.panelController.observeChanges([this] { refresh(); }));
    observations_.push_back(services_.appState.theme.observe([this](const auto&) { refresh(); }));
    refresh();
}

MainWindow::~MainWindow() = default;

void MainWindow::makeToolbar() {
    auto* toolbar = addToolBar("Vorela");
    toolbar->setObjectName("toolbarContent");
    toolbar->setMovable(false);
    toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    const QColor tint = palette().color(QPalette::ButtonText);

    panelToggle_ = toolbar->addAction(QString());
    panelToggle_->setObjectName("panelToggleAction");
    setLiveToolTip(toolbar->widgetForAction(panelToggle_), [] {
        return ViewKit::qText(MainWindowModel::withKeyHint("Muestra u oculta el panel del prompter",
                                                           GlobalShortcuts::togglePanel()));
    });
    connect(panelToggle_, &QAction::triggered, this,
            [this] { services_.panelController.toggle(); });
    toolbar->addSeparator();

    panelMenu_ = new PanelMenu(services_.appState, services_.panelController, this);
    auto* panelButton = new QToolButton(toolbar);
    panelButton->setObjectName("panelMenuButton");
    panelButton->setText("Panel");
    panelButton->setIcon(ViewKit::symbolIcon("macwindow.on.rectangle", tint));
    panelButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    panelButton->setPopupMode(QToolButton::InstantPopup);
    panelButton->setMenu(panelMenu_);
    toolbar->addWidget(panelButton);

    QAction* voiceDebug = toolbar->addAction(
        ViewKit::symbolIcon("waveform.badge.magnifyingglass", tint), "Diagnóstico de voz");
    voiceDebug->setObjectName("voiceDebugAction");
    voiceDebug->setToolTip("Transcripción en vivo, motor activo y latencia");
    connect(voiceDebug, &QAction::triggered, this,
            [this] { services_.openWindowByID("voice-debug"); });
    QAction* settings = toolbar->addAction(ViewKit::symbolIcon("gearshape", tint), "Preferencias");
    settings->setObjectName("settingsAction");
    connect(settings, &QAction::triggered, this, [this] { services_.openWindowByID("settings"); });
}

void MainWindow::refresh() {
    const bool visible = services_.panelController.isVisible();
    panelToggle_->setText(ViewKit::qText(MainWindowModel::panelToggleTitle(visible)));
    panelToggle_->setIcon(ViewKit::symbolIcon(MainWindowModel::panelToggleSymbol(visible),
                                              palette().color(QPalette::ButtonText)));
    // Queued: the change may come from one of the menu's own actions, which a rebuild
    // deletes.
    QMetaObject::invokeMethod(panelMenu_, &PanelMenu::refresh, Qt::QueuedConnection);
}

}  // namespace vorela
