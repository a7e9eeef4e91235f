#include <gtest/gtest.h>
#include <sqlite3.h>
#include <xcb/xcb.h>

#include <QTest>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "App/Linux/Desktop/VorelaDesktopFixture.h"

namespace vorela::testing {
namespace {

namespace fs = std::filesystem;

using Rows = std::vector<std::pair<std::string, std::string>>;  // title, body

// Where the library view's parts stand from the main window's frame, in its default size.
constexpr QPoint kNewButton{19, 509};
constexpr QPoint kTitleField{400, 49};
constexpr QPoint kBody{540, 272};
constexpr QPoint kSecondScript{90, 115};  // under "Sin carpeta" and the newest script

// Asks the window manager to close the window, as its title bar's close button does.
void closeThroughWindowManager(const std::string& windowId) {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const char* name = "_NET_CLOSE_WINDOW";
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        connection,
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
        nullptr);
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = static_cast<xcb_window_t>(std::stoul(windowId));
    event.type = atom ? atom->atom : xcb_atom_t{XCB_ATOM_NONE};
    event.data.data32[1] = 2;  // asked by the user through a pager or a title bar
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(connection);
    std::free(atom);
    xcb_disconnect(connection);
}

class LibraryDesktopTest : public VorelaDesktopTest {
protected:
    static fs::path dataFolder(const VorelaProcess& vorela) {
        return vorela.home() / "data" / "app.vorela.Vorela";
    }
    // The scripts in the library file, in the order they were made.
    static Rows stored(const VorelaProcess& vorela) {
        Rows rows;
        sqlite3* db = nullptr;
        const auto file = dataFolder(vorela) / "library.sqlite";
        if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
            sqlite3_busy_timeout(db, 2000);
            sqlite3_stmt* select = nullptr;
            sqlite3_prepare_v2(db, "SELECT title, body FROM Script ORDER BY id", -1, &select,
                               nullptr);
            const auto text = [&](int column) {
                const auto* bytes = sqlite3_column_text(select, column);
                return std::string(bytes ? reinterpret_cast<const char*>(bytes) : "");
            };
            while (select && sqlite3_step(select) == SQLITE_ROW)
                rows.emplace_back(text(0), text(1));
            sqlite3_finalize(select);
        }
        sqlite3_close(db);
        return rows;
    }
    static bool waitForStored(const VorelaProcess& vorela,
                              const std::function<bool(const Rows&)>& holds) {
        for (int i = 0; i < 200; ++i, QTest::qWait(50))
            if (holds(stored(vorela))) return true;
        return false;
    }
    // The sample first, then the new script with this title and body.
    static std::function<bool(const Rows&)> newScriptStored(const std::string& title,
                                                            const std::string& body) {
        return
            [=](const Rows& rows) { return rows.size() == 2 && rows[1] == std::pair(title, body); };
    }
    std::optional<QRect> waitForMainWindow() {
        for (int i = 0; i < 200; ++i, QTest::qWait(50))
            if (auto frame = desktop_.windowOfType("NORMAL", "Vorela")) return frame;
        return std::nullopt;
    }
    static void click(const QRect& window, QPoint at) {
        at += window.topLeft();
        run({"xdotool", "mousemove", std::to_string(at.x()), std::to_string(at.y()), "click", "1"});
        QTest::qWait(300);
    }
    static void keys(const std::string& names) {
        run({"xdotool", "key", names});
        QTest::qWait(200);
    }
    static void type(const std::string& text) {
        run({"xdotool", "type", "--delay", "30", text});
        QTest::qWait(300);
    }
    static std::string suffix(const std::string& word) { return " mas " + word; }

    // "Nuevo guion", a title and a body typed into it, then the sample chosen and typed into.
    void typeIntoTwoScripts(const VorelaProcess& vorela, const QRect& window,
                            const std::string& word) {
        click(window, kNewButton);
        ASSERT_TRUE(waitForStored(vorela, newScriptStored("Guion sin título", "")))
            << "the new script is saved\n"
            << vorela.log();
        click(window, kTitleField);
        keys("ctrl+a");
        type("Titulo " + word);
        click(window, kBody);
        type("Cuerpo " + word);
        ASSERT_TRUE(waitForStored(vorela, newScriptStored("Titulo " + word, "Cuerpo " + word)))
            << vorela.log();
        click(window, kSecondScript);
        click(window, kBody);
        keys("ctrl+End");
        type(suffix(word));
        ASSERT_TRUE(waitForStored(vorela, everyText(word))) << vorela.log();
        desktop_.screenshot("desktop-library-typed-" + word);
    }
    static std::function<bool(const Rows&)> everyText(const std::string& word) {
        return [=](const Rows& rows) {
            return newScriptStored("Titulo " + word, "Cuerpo " + word)(rows) &&
                   rows[0].first == "Guion de ejemplo" && rows[0].second.ends_with(suffix(word));
        };
    }
    // The program starts again on the same library and ends: every text is still there.
    void expectEveryTextAfterRestart(VorelaProcess& vorela, const std::string& word) {
        vorela.relaunch();
        ASSERT_TRUE(waitForMainWindow()) << vorela.log();
        EXPECT_EQ(vorela.endWith(SIGTERM, 20), 0) << vorela.log();
        EXPECT_TRUE(everyText(word)(stored(vorela))) << vorela.log();
    }
    // Until the main window is gone. Under a heavy load the first request was seen to go
    // unanswered now and then: it is asked again, as a user clicks again.
    bool closeMainWindowThroughWindowManager() {
        std::string id;  // the main window's, not the tray icon's of the same name
        std::istringstream ids(commandOutput("xdotool search --onlyvisible --classname vorela"));
        for (std::string line; id.empty() && std::getline(ids, line);)
            if (commandOutput("xdotool getwindowname " + line) == "Vorela\n" &&
                commandOutput("xdotool getwindowgeometry --shell " + line).find("WIDTH=860") !=
                    std::string::npos)
                id = line;
        for (int i = 0; !id.empty() && i < 200; ++i, QTest::qWait(50)) {
            if (i % 40 == 0) closeThroughWindowManager(id);
            if (!desktop_.windowOfType("NORMAL", "Vorela")) return true;
        }
        return false;
    }
    static bool waitForEnd(VorelaProcess& vorela) {
        for (int i = 0; i < 400; ++i, QTest::qWait(50))
            if (!vorela.isRunning()) return true;
        return false;
    }
};

// "Nuevo guion" stored its empty body as NULL: the file refused it, and every later save of
// any script failed with it, so nothing typed afterwards reached the disk.
TEST_F(LibraryDesktopTest, EveryTextTypedIsThereAfterSalir) {
    VorelaProcess vorela("<key>didFinishOnboarding</key><true/>");
    const auto window = waitForMainWindow();
    ASSERT_TRUE(window) << vorela.log();
    ASSERT_NO_FATAL_FAILURE(typeIntoTwoScripts(vorela, *window, "salir"));
    ASSERT_TRUE(openTrayMenu(vorela)) << vorela.log();
    keys("Up");  // "Salir", the menu's last item
    keys("Return");
    ASSERT_TRUE(waitForEnd(vorela)) << vorela.log();
    EXPECT_TRUE(everyText("salir")(stored(vorela)));
    ASSERT_NO_FATAL_FAILURE(expectEveryTextAfterRestart(vorela, "salir"));
}

TEST_F(LibraryDesktopTest, EveryTextTypedIsThereAfterATerminationSignal) {
    VorelaProcess vorela("<key>didFinishOnboarding</key><true/>");
    const auto window = waitForMainWindow();
    ASSERT_TRUE(window) << vorela.log();
    ASSERT_NO_FATAL_FAILURE(typeIntoTwoScripts(vorela, *window, "senal"));
    EXPECT_EQ(vorela.endWith(SIGTERM, 20), 0) << vorela.log();
    EXPECT_TRUE(everyText("senal")(stored(vorela)));
    ASSERT_NO_FATAL_FAILURE(expectEveryTextAfterRestart(vorela, "senal"));
}

TEST_F(LibraryDesktopTest, EveryTextTypedIsOnDiskOnceTheWindowManagerClosesTheWindow) {
    VorelaProcess vorela("<key>didFinishOnboarding</key><true/>");
    const auto window = waitForMainWindow();
    ASSERT_TRUE(window) << vorela.log();
    ASSERT_NO_FATAL_FAILURE(typeIntoTwoScripts(vorela, *window, "ventana"));
    ASSERT_TRUE(closeMainWindowThroughWindowManager()) << "closed, the program stays";
    EXPECT_TRUE(vorela.isRunning());
    // The harshest end after the close: nothing more is written, all was written already.
    EXPECT_EQ(vorela.endWith(SIGKILL, 20), -1);
    EXPECT_TRUE(everyText("ventana")(stored(vorela)));
    ASSERT_NO_FATAL_FAILURE(expectEveryTextAfterRestart(vorela, "ventana"));
}

// A newer version's library takes no script this version makes: on a signal, what was typed
// into the new script goes into a text file beside the library, named at the next start.
TEST_F(LibraryDesktopTest, TextTheLibraryRefusesIsKeptInAFileAtASignalAndNamedAtTheNextStart) {
    VorelaProcess vorela("<key>didFinishOnboarding</key><true/>");
    ASSERT_TRUE(waitForMainWindow()) << vorela.log();
    ASSERT_EQ(vorela.endWith(SIGTERM, 20), 0) << vorela.log();
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open((dataFolder(vorela) / "library.sqlite").c_str(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db,
                               "CREATE TABLE Newer (id INTEGER PRIMARY KEY AUTOINCREMENT, title "
                               "TEXT NOT NULL, body TEXT NOT NULL, localeIdentifier TEXT NOT "
                               "NULL, preferredWPM REAL, folder TEXT, createdAt REAL NOT NULL, "
                               "modifiedAt REAL NOT NULL, color TEXT NOT NULL);"
                               "INSERT INTO Newer SELECT *, 'rojo' FROM Script;"
                               "DROP TABLE Script; ALTER TABLE Newer RENAME TO Script;",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK)
            << sqlite3_errmsg(db);
        sqlite3_close(db);
    }

    vorela.relaunch();
    const auto window = waitForMainWindow();
    ASSERT_TRUE(window) << vorela.log();
    click(*window, kNewButton);
    click(*window, kTitleField);
    keys("ctrl+a");
    type("Titulo rechazado");
    click(*window, kBody);
    type("Cuerpo que no cabe");
    desktop_.screenshot("desktop-library-refused");
    EXPECT_EQ(stored(vorela).size(), 1u) << "the library takes no new script";
    EXPECT_EQ(vorela.endWith(SIGTERM, 20), 0) << vorela.log();

    std::vector<fs::path> kept;
    for (const auto& entry : fs::directory_iterator(dataFolder(vorela)))
        if (entry.path().extension() == ".txt") kept.push_back(entry.path());
    ASSERT_EQ(kept.size(), 1u) << vorela.log();
    std::ifstream file(kept[0]);
    const std::string text{std::istreambuf_iterator<char>(file), {}};
    EXPECT_NE(text.find("=== Titulo rechazado ===\n\nCuerpo que no cabe\n"), std::string::npos)
        << text;
    EXPECT_NE(vorela.log().find("quedó en «" + kept[0].string() + "»"), std::string::npos)
        << vorela.log();

    vorela.relaunch();
    ASSERT_TRUE(waitForMainWindow()) << vorela.log();
    EXPECT_NE(vorela.log().find("La última vez que se cerró, Vorela no pudo guardar"),
              std::string::npos)
        << vorela.log();
    EXPECT_FALSE(fs::exists(kept[0])) << "named once: no longer new";
    // The user is told, beside the main window and the tray icon.
    int shown = 0;
    for (int i = 0; i < 100 && shown < 2; ++i, QTest::qWait(50)) {
        shown = 0;
        for (const auto& [title, frame] : desktop_.programWindows()) shown += frame.width() > 32;
    }
    EXPECT_EQ(shown, 2) << vorela.log();
    desktop_.screenshot("desktop-library-unsaved-text-named");
}

}  // namespace
}  // namespace vorela::testing
