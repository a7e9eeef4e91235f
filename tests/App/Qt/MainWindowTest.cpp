#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QListView>
#include <QSlider>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>

#include "App/GlobalShortcuts.h"
#include "App/Qt/MainControlBar.h"
#include "App/Qt/MainWindow.h"
#include "App/Qt/PanelMenu.h"
#include "App/Qt/ScriptLibraryView.h"
#include "App/Qt/ScriptListModel.h"
#include "Prefs/Prefs.h"
#include "Shortcuts/ShortcutsEnvironment.h"
#include "Support/FakePanelController.h"
#include "Support/LibraryWindowFixture.h"
#include "Support/StyleEventCounter.h"
#include "Ui/ElidedLabel.h"
#include "Ui/IconCache.h"
#include "Ui/LevelMeter.h"
#include "Ui/ViewKit.h"
#include "Window/PanelPlacement.h"

namespace vorela {
namespace {

class MainWindowTest : public testing::LibraryWindowTest {
protected:
    std::unique_ptr<MainWindow> makeWindow() {
        GlobalShortcuts::declareNames(*shortcuts_.context);  // as the start does
        auto window = std::make_unique<MainWindow>(MainWindow::Services{
            .appState = *state_,
            .panelController = panel_,
            .library = *library_,
            .pasteboard = pasteboard_,
            .openWindowByID = [this](const std::string& id) { opened_.push_back(id); },
        });
        window->resize(1000, 640);
        window->show();
        QCoreApplication::processEvents();
        return window;
    }
    template <class T>
    T* child(QWidget& window, const char* name) {
        T* found = window.findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QAction* action(QObject& parent, const QString& name) {
        QAction* found = parent.findChild<QAction*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }

    // The tooltip Qt is about to show.
    static QString toolTipShown(QWidget* widget) {
        QHelpEvent event(QEvent::ToolTip, QPoint(2, 2), widget->mapToGlobal(QPoint(2, 2)));
        QCoreApplication::sendEvent(widget, &event);
        QToolTip::hideText();
        return widget->toolTip();
    }

    Shortcuts::ShortcutsEnvironment shortcuts_;
    testing::FakePanelController panel_;
    std::vector<std::string> opened_;
};

// The tooltips promised "⌥Space" whatever key was stored, and promised it even when
// another program held the keys; they now name the stored key as it works, or none.
TEST_F(MainWindowTest, TooltipsNameTheKeysAsBoundAndOnlyKeysThatWork) {
    makeAttachedState(40);
    auto window = makeWindow();
    auto* play = child<QToolButton>(*window, "playPauseButton");
    auto* restart = child<QToolButton>(*window, "restartButton");
    auto* toolbar = child<QToolBar>(*window, "toolbarContent");
    QWidget* panelToggle = toolbar->widgetForAction(action(*window, "panelToggleAction"));
    EXPECT_EQ(toolTipShown(play), "Reproducir (Alt+Espacio)");
    EXPECT_EQ(toolTipShown(restart), "Reiniciar al principio (Alt+R)");
    EXPECT_EQ(toolTipShown(panelToggle), "Muestra u oculta el panel del prompter (Alt+P)");

    GlobalShortcuts::restart().setShortcut(Shortcuts::Shortcut(
        Shortcuts::Key::k, Shortcuts::ModifierFlags::control | Shortcuts::ModifierFlags::shift));
    EXPECT_EQ(toolTipShown(restart), "Reiniciar al principio (Ctrl+Mayús+K)");

    shortcuts_.registrar.holdByAnotherProgram(
        static_cast<std::uint32_t>(Shortcuts::Key::space.rawValue), 0x800);
    Shortcuts::onKeyDown(GlobalShortcuts::togglePlay(), [] {});  // the grab is refused
    EXPECT_EQ(toolTipShown(play), "Reproducir");
    GlobalShortcuts::togglePanel().setShortcut(std::nullopt);
    EXPECT_EQ(toolTipShown(panelToggle), "Muestra u oculta el panel del prompter");
}

TEST_F(MainWindowTest, ControlsChangeTheStateAndFollowIt) {
    makeAttachedState(40);
    auto window = makeWindow();
    EXPECT_EQ(window->windowTitle(), "Vorela");
    EXPECT_GE(window->minimumSizeHint().width(), 860);

    auto* play = child<QToolButton>(*window, "playPauseButton");
    EXPECT_EQ(play->toolTip(), "Reproducir (Alt+Espacio)");
    QTest::mouseClick(play, Qt::LeftButton);
    EXPECT_EQ(panel_.showCount, 1);
    EXPECT_EQ(state_->playback.get(), PlaybackState::playing);
    EXPECT_EQ(play->toolTip(), "Pausar (Alt+Espacio)");
    state_->pause();  // elsewhere: the global shortcut
    EXPECT_EQ(play->toolTip(), "Reproducir (Alt+Espacio)");

    auto* picker = child<QComboBox>(*window, "modePicker");
    picker->setCurrentIndex(1);
    EXPECT_EQ(state_->mode.get(), PrompterMode::classic);
    state_->setMode(PrompterMode::manual);
    EXPECT_EQ(picker->currentIndex(), 0);
    EXPECT_EQ(picker->itemText(3), "Sigue mi voz");

    auto* slider = child<QSlider>(*window, "speedSlider");
    auto* rate = child<QLabel>(*window, "speedLabel");
    slider->setValue(1399);
    EXPECT_DOUBLE_EQ(state_->wpm.get(), 139.9);
    EXPECT_EQ(rate->text(), "139 ppm");
    slider->setValue(slider->maximum());
    EXPECT_EQ(rate->text(), "260 ppm");
    state_->setWpm(75);
    EXPECT_EQ(slider->value(), 750);
    EXPECT_EQ(Prefs::get(Prefs::Keys::wpm()), 75);

    state_->jumpToToken(9);
    EXPECT_EQ(child<QLabel>(*window, "wordPositionLabel")->text(), "10 / 40");
    QTest::mouseClick(child<QToolButton>(*window, "restartButton"), Qt::LeftButton);
    EXPECT_EQ(child<QLabel>(*window, "wordPositionLabel")->text(), "1 / 40");

    action(*window, "voiceDebugAction")->trigger();
    action(*window, "settingsAction")->trigger();
    EXPECT_EQ(opened_, (std::vector<std::string>{"voice-debug", "settings"}));
}

TEST_F(MainWindowTest, ToolbarAndPanelMenuFollowThePanel) {
    makeState();
    auto window = makeWindow();
    QAction* toggle = action(*window, "panelToggleAction");
    EXPECT_EQ(toggle->text(), "Mostrar panel");
    toggle->trigger();
    EXPECT_TRUE(panel_.isVisible());
    EXPECT_EQ(toggle->text(), "Ocultar panel");
    panel_.toggle();  // elsewhere: the tray menu
    EXPECT_EQ(toggle->text(), "Mostrar panel");

    PanelMenu& menu = window->panelMenu();
    EXPECT_EQ(menu.findChild<QMenu*>("screenMenu"), nullptr) << "one screen: no submenu";
    panel_.setScreens({{"HDMI-1", "Monitor A"}, {"DP-2", "Monitor B"}});
    QCoreApplication::processEvents();
    auto* screens = menu.findChild<QMenu*>("screenMenu");
    ASSERT_NE(screens, nullptr);
    action(*screens, "screen:DP-2")->trigger();
    EXPECT_EQ(panel_.movedTo, std::vector<std::string>{"DP-2"});

    action(menu, "panelMode:floating")->trigger();
    EXPECT_EQ(panel_.mode(), PanelMode::floating);
    QCoreApplication::processEvents();
    EXPECT_TRUE(action(menu, "panelMode:floating")->isChecked());

    action(menu, "mirror:horizontal")->trigger();
    EXPECT_EQ(state_->theme.get().mirror, MirrorMode::horizontal);
    state_->setMirrorMode(MirrorMode::vertical);
    QCoreApplication::processEvents();
    EXPECT_TRUE(action(menu, "mirror:vertical")->isChecked());

    action(menu, "passThroughToggle")->trigger();
    EXPECT_TRUE(Prefs::get(Prefs::Keys::passThrough()));
    EXPECT_EQ(panel_.passThroughApplied, 1);
}

TEST_F(MainWindowTest, StatusRowsShowOnlyInVoiceModesAndTheMeterFollowsTheLevel) {
    makeAttachedState(40);
    auto window = makeWindow();
    auto* micRow = child<QWidget>(*window, "micRow");
    auto* voiceRow = child<QWidget>(*window, "voiceStatusRow");
    EXPECT_FALSE(micRow->isVisible());
    EXPECT_FALSE(voiceRow->isVisible());
    state_->setMode(PrompterMode::voiceActivated);
    EXPECT_TRUE(micRow->isVisible());
    EXPECT_TRUE(voiceRow->isVisible());

    auto* meter = child<LevelMeter>(*window, "levelMeter");
    EXPECT_EQ(meter->size(), QSize(70, 6));
    EXPECT_NEAR(meter->threshold(), 22.0 / 60, 1e-9) << "the default profile's threshold";
    hear(true);
    EXPECT_GT(meter->level(), 0.8);
    EXPECT_TRUE(meter->isSpeaking());
    EXPECT_EQ(child<QLabel>(*window, "voiceStatusLabel")->text(), "Siguiendo tu voz");
    const QImage shot = screenshot(*window, "main-window-speaking.png");
    const QPoint meterAt = meter->mapTo(window.get(), QPoint(20, 3));
    const QColor fill = shot.pixelColor(meterAt);
    EXPECT_GT(fill.green(), 150) << "the fill is green while speaking";
    EXPECT_LT(fill.red(), 120);
}

// Every word re-rendered the microphone icon and re-applied the status dot's style
// sheet; a word changes only the position, so nothing else may be drawn or re-styled.
TEST_F(MainWindowTest, AWordUpdateTouchesOnlyTheWordPosition) {
    makeAttachedState(40);
    auto window = makeWindow();
    state_->setMode(PrompterMode::voiceActivated);
    QCoreApplication::processEvents();
    auto* bar = child<MainControlBar>(*window, "controlBar");
    auto* mic = child<QLabel>(*window, "micIcon");
    auto* play = child<QToolButton>(*window, "playPauseButton");
    testing::StyleEventCounter counter(*bar);
    const auto renders = IconCache::shared().renderCount();
    const qint64 micKey = mic->pixmap().cacheKey();
    const qint64 playKey = play->icon().cacheKey();

    state_->jumpToToken(9);
    state_->jumpToToken(10);
    EXPECT_EQ(child<QLabel>(*window, "wordPositionLabel")->text(), "11 / 40");
    EXPECT_EQ(IconCache::shared().renderCount(), renders) << "no icon drawn";
    EXPECT_EQ(mic->pixmap().cacheKey(), micKey);
    EXPECT_EQ(play->icon().cacheKey(), playKey);
    EXPECT_EQ(counter.styleChanges, 0);
    EXPECT_EQ(counter.toolTipChanges, 0);

    // A change the bar shows still reaches it: the microphone goes from outlined to filled.
    hear(true);
    ASSERT_TRUE(state_->isSpeaking.get());
    EXPECT_NE(mic->pixmap().cacheKey(), micKey);
}

TEST_F(MainWindowTest, ALongProblemIsShownWholeAtTheWindowsNarrowestWidth) {
    // A microphone that failed to open showed "No se pudo abr…" cut at the window's edge:
    // the status label kept one line wider than the room the bar had left for it.
    const std::string problem =
        "No se pudo abrir el micrófono: Unanticipated host error (-9999) en el servidor de sonido";
    audio_->failNextStart(problem);
    makeAttachedState(40);
    auto window = makeWindow();
    state_->setMode(PrompterMode::voiceActivated);
    loop_.runUntilIdle();
    QCoreApplication::processEvents();
    // The narrowest the window goes, as the presenter sizes it.
    window->setMinimumSize(QSize(860, 560).expandedTo(window->minimumSizeHint()));
    window->resize(window->minimumSize());
    QCoreApplication::processEvents();
    auto* label = child<ElidedLabel>(*window, "voiceStatusLabel");
    ASSERT_EQ(label->text().toStdString(), problem);
    EXPECT_EQ(label->toolTip(), label->text()) << "the whole text on hover";
    const QString shown = label->displayedText();
    EXPECT_TRUE(shown.size() > 3 && shown.endsWith(QChar(0x2026))) << shown.toStdString();
    EXPECT_LE(label->fontMetrics().horizontalAdvance(shown), label->width());
    const QRect onWindow(label->mapTo(window.get(), QPoint(0, 0)), label->size());
    EXPECT_LE(onWindow.right(), window->width()) << "inside the window";
    screenshot(*window, "main-window-long-problem.png");

    window->resize(1500, 560);  // room for all of it
    QCoreApplication::processEvents();
    EXPECT_EQ(label->displayedText(), label->text());
}

TEST_F(MainWindowTest, Screenshots) {
    makeState();
    auto window = makeWindow();
    window->libraryView().refresh();
    QCoreApplication::processEvents();
    auto* list = child<QListView>(*window, "scriptList");
    const QModelIndexList selectedRows = list->selectionModel()->selectedIndexes();
    ASSERT_EQ(selectedRows.size(), 1) << "the sample script is selected on appearing";
    QImage shot = screenshot(*window, "main-window-sample.png");
    const QPoint rowAt =
        list->viewport()->mapTo(window.get(), list->visualRect(selectedRows.front()).center());
    const QColor highlight = window->palette().color(QPalette::Highlight);
    const QColor probe = shot.pixelColor(rowAt.x() - 60, rowAt.y());
    EXPECT_LT(std::abs(probe.red() - highlight.red()) + std::abs(probe.blue() - highlight.blue()),
              40)
        << "the selected row is highlighted";

    emptyLibrary();
    QCoreApplication::processEvents();
    shot = screenshot(*window, "main-window-empty.png");
    EXPECT_TRUE(child<QWidget>(*window, "emptyState")->isVisible());

    for (int i = 0; i < 40; ++i)
        add("Guion " + std::to_string(i), "palabras de prueba " + std::to_string(i),
            i % 3 ? std::optional<std::string>("Carpeta " + std::to_string(i % 3)) : std::nullopt);
    library_->reload();
    QCoreApplication::processEvents();
    screenshot(*window, "main-window-long-list.png");
    int sections = 0;
    for (int row = 0; row < list->model()->rowCount(); ++row)
        sections += list->model()->index(row, 0).data(ScriptListModel::IsSectionRole).toBool();
    EXPECT_EQ(sections, 3);
}

}  // namespace
}  // namespace vorela
