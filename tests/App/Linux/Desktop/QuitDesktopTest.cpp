#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QTest>
#include <algorithm>
#include <csignal>
#include <memory>
#include <string>

#include "App/Linux/Desktop/VorelaDesktopFixture.h"
#include "Support/PulseServer.h"

namespace vorela::testing {
namespace {

// The main window at launch, so Ctrl+Q has a window of ours to be typed into.
constexpr const char* kMainWindowLaunch = "<key>didFinishOnboarding</key><true/>";

enum class Route { controlQ, traySalir, terminate, quitWithoutSaving };

// Holds the write lock of the program's library file, so every save of the program fails
// as it would on a full disk, and the quit asks before losing the change.
class LockedLibrary {
public:
    explicit LockedLibrary(const std::filesystem::path& file) {
        if (sqlite3_open(file.c_str(), &database_) == SQLITE_OK)
            isLocked_ =
                sqlite3_exec(database_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    ~LockedLibrary() { sqlite3_close(database_); }
    LockedLibrary(const LockedLibrary&) = delete;
    LockedLibrary& operator=(const LockedLibrary&) = delete;

    bool isLocked() const { return isLocked_; }

private:
    sqlite3* database_ = nullptr;
    bool isLocked_ = false;
};

// Quitting was ignored about half the time while the panel showed: the windows went, the
// program stayed in the tray (once still listening to the microphone).
class QuitDesktopTest : public VorelaDesktopTest {
protected:
    static constexpr int kTries = 20;

    // Starts the program, shows the panel or not, quits by `route`; empty when that went
    // well, else what went wrong.
    std::string startAndQuit(Route route, bool showsPanel) {
        VorelaProcess vorela(route == Route::traySalir || route == Route::terminate
                                 ? kQuietLaunch
                                 : kMainWindowLaunch);
        if (!vorela.waitForTrayIcon()) return "no tray icon\n" + vorela.log();
        if (showsPanel) {
            if (vorela.startAgain({"prompter://read?text=Hola%20y%20adi%C3%B3s"}) != 0)
                return "the link was not handed over\n" + vorela.log();
            if (!waitForPanel()) return "no panel\n" + vorela.log();
        }
        std::unique_ptr<LockedLibrary> locked;
        switch (route) {
            case Route::controlQ:
                if (!typeIntoMainWindow({"ctrl+q"})) return "no main window\n" + vorela.log();
                break;
            case Route::traySalir:
                // "Salir" is the menu's last item.
                if (!openTrayMenu(vorela)) return "no tray menu\n" + vorela.log();
                run({"xdotool", "key", "Up", "Return"});
                break;
            case Route::terminate:
                kill(vorela.pid(), SIGTERM);
                break;
            case Route::quitWithoutSaving:
                locked = std::make_unique<LockedLibrary>(vorela.home() /
                                                         "data/app.vorela.Vorela/library.sqlite");
                if (!locked->isLocked()) return "the library could not be locked";
                // A word typed into the editor that cannot be saved, then the question.
                if (!typeIntoMainWindow({"End", "x", "ctrl+q"})) return "no main window";
                if (!waitForWindow("DIALOG", "Hay cambios sin guardar"))
                    return "no question about the unsaved change\n" + vorela.log();
                run({"xdotool", "key", "Tab", "space"});
                break;
        }
        const auto status = vorela.waitForEnd(10);
        if (!status) return "still running\n" + vorela.log();
        if (*status != 0) return "exit status " + std::to_string(*status) + "\n" + vorela.log();
        return {};
    }

    std::optional<QRect> waitForWindow(const std::string& type, const std::string& title) {
        for (int i = 0; i < 100; ++i, QTest::qWait(50))
            if (auto frame = desktop_.windowOfType(type, title)) return frame;
        return std::nullopt;
    }

    // Clicks into the editor of the main window, then types the keys there.
    bool typeIntoMainWindow(const std::vector<std::string>& keys) {
        const auto window = waitForWindow("NORMAL", "Vorela");
        if (!window) return false;
        const QPoint editor(window->left() + window->width() * 3 / 4, window->center().y());
        run({"xdotool", "mousemove", std::to_string(editor.x()), std::to_string(editor.y()),
             "click", "1"});
        QTest::qWait(300);
        for (const auto& key : keys) {
            run({"xdotool", "key", key});
            QTest::qWait(200);
        }
        return true;
    }

    void quitsEveryTime(Route route) {
        for (const bool showsPanel : {true, false}) {
            int quit = 0;
            std::string failure;
            for (int i = 0; i < kTries; ++i) {
                const std::string problem = startAndQuit(route, showsPanel);
                if (problem.empty())
                    ++quit;
                else if (failure.empty())
                    failure = problem;
            }
            EXPECT_EQ(quit, kTries) << (showsPanel ? "panel shown: " : "panel hidden: ") << failure;
        }
    }
};

TEST_F(QuitDesktopTest, ControlQQuitsEveryTime) { quitsEveryTime(Route::controlQ); }

TEST_F(QuitDesktopTest, TheTraysSalirQuitsEveryTime) { quitsEveryTime(Route::traySalir); }

TEST_F(QuitDesktopTest, TermQuitsEveryTime) { quitsEveryTime(Route::terminate); }

TEST_F(QuitDesktopTest, QuittingWithoutSavingQuitsEveryTime) {
    quitsEveryTime(Route::quitWithoutSaving);
}

// Recording streams of the sound server; the server's own remapped microphone is one.
int captures() {
    const std::string list = commandOutput("pactl list short source-outputs 2>/dev/null");
    return int(std::count(list.begin(), list.end(), '\n'));
}

// A quit that was ignored once left the program listening to the microphone.
TEST_F(QuitDesktopTest, TheMicrophoneStopsWithTheProgram) {
    PulseServer pulse;
    if (!pulse.start()) GTEST_SKIP() << "no PulseAudio server could start here";
    setenv("PULSE_SERVER", pulse.server().c_str(), 1);
    setenv("PULSE_SOURCE", "vmic_mon", 1);
    const int idle = captures();
    int stopped = 0;
    std::string failure;
    for (int i = 0; i < kTries; ++i) {
        VorelaProcess vorela(std::string(kQuietLaunch) +
                             "<key>defaultMode</key><string>voiceActivated</string>");
        const auto fail = [&](const std::string& what) {
            if (failure.empty()) failure = what + "\n" + vorela.log();
        };
        if (!vorela.waitForTrayIcon() || vorela.startAgain({"prompter://read?text=Hola"}) != 0 ||
            !waitForPanel()) {
            fail("no panel");
            continue;
        }
        run({"xdotool", "key", "alt+space"});  // plays in the voice mode: the microphone opens
        for (int wait = 0; wait < 100 && captures() == idle; ++wait) QTest::qWait(50);
        if (captures() == idle) {
            fail("the microphone never opened");
            continue;
        }
        kill(vorela.pid(), SIGTERM);
        const auto status = vorela.waitForEnd(10);
        if (status == 0 && captures() == idle)
            ++stopped;
        else
            fail(std::string(status ? "ended" : "still running") +
                 (captures() > idle ? ", listening to the microphone" : ""));
    }
    unsetenv("PULSE_SERVER");
    unsetenv("PULSE_SOURCE");
    EXPECT_EQ(stopped, kTries) << failure;
}

}  // namespace
}  // namespace vorela::testing
