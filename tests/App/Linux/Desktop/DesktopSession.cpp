#include "DesktopSession.h"

#include <fcntl.h>

#include <QDir>
#include <QScreen>
#include <QTest>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace vorela::testing {
namespace {

using namespace std::chrono_literals;

// openbox with no key bindings at all: its default binds Alt+space to the window menu.
constexpr const char* kOpenboxConfig = R"(<?xml version="1.0"?>
<openbox_config xmlns="http://openbox.org/3.4/rc"><keyboard></keyboard></openbox_config>
)";

void writeFile(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

}  // namespace

pid_t spawnLogged(const std::vector<std::string>& arguments, const std::string& logFile) {
    std::vector<std::string> copy = arguments;
    std::vector<char*> argv;
    for (auto& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, logFile.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                     0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return spawned == 0 ? pid : 0;
}

std::optional<int> waitForExit(pid_t pid, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::this_thread::sleep_for(20ms);
    }
    return std::nullopt;
}

Desktop& Desktop::shared() {
    static Desktop desktop;
    return desktop;
}

Desktop::Desktop() {
    for (const char* tool : {"Xvfb", "openbox", "trayer", "xdotool"})
        if (!isOnPath(tool)) return;
    char pattern[] = "/tmp/vorela-desktop-XXXXXX";
    if (!mkdtemp(pattern)) return;
    folder_ = pattern;
    server_ = XvfbServer::start("1280x800x24");
    if (!server_) return;
    setenv("DISPLAY", server_->display().c_str(), 1);
    const auto config = folder_ / "openbox-rc.xml";
    writeFile(config, kOpenboxConfig);
    helpers_.push_back(spawnLogged({"openbox", "--sm-disable", "--config-file", config.string()},
                                   (folder_ / "openbox.log").string()));
    for (int i = 0;
         i < 100 && run({"sh", "-c", "xprop -root _NET_SUPPORTING_WM_CHECK | grep -q window"}) != 0;
         ++i)
        std::this_thread::sleep_for(50ms);
    // openbox claims the screen a moment before it manages new windows.
    std::this_thread::sleep_for(500ms);
    helpers_.push_back(spawnLogged({"trayer", "--edge", "top", "--align", "right", "--widthtype",
                                    "pixel", "--width", "100", "--height", "24"},
                                   (folder_ / "trayer.log").string()));
    // The tray is up once its panel window is.
    for (int i = 0; i < 100 && commandOutput("xdotool search --name '^panel$'").empty(); ++i)
        std::this_thread::sleep_for(50ms);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    static int argc = 1;
    static char name[] = "vorela-desktop-tests";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QGuiApplication>(argc, argv);
}

Desktop::~Desktop() {
    // Qt's connection must not outlive its server: the application is left to the exit.
    (void)app_.release();
    for (auto it = helpers_.rbegin(); it != helpers_.rend(); ++it) {
        if (*it <= 0) continue;
        kill(*it, SIGTERM);
        waitpid(*it, nullptr, 0);
    }
    server_.reset();
    std::error_code error;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, error);
}

QImage Desktop::screenshot(const std::string& name) const {
    QTest::qWait(50);
    const QImage image = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    QDir().mkpath("artifacts");
    image.save(QString::fromStdString("artifacts/" + name + ".png"));
    return image;
}

namespace {

QRect frameOf(const std::string& id) {
    std::istringstream geometry(
        commandOutput("xdotool getwindowgeometry --shell " + id + " 2>/dev/null"));
    int x = 0, y = 0, width = 0, height = 0;
    for (std::string line; std::getline(geometry, line);) {
        if (line.rfind("X=", 0) == 0) x = std::stoi(line.substr(2));
        if (line.rfind("Y=", 0) == 0) y = std::stoi(line.substr(2));
        if (line.rfind("WIDTH=", 0) == 0) width = std::stoi(line.substr(6));
        if (line.rfind("HEIGHT=", 0) == 0) height = std::stoi(line.substr(7));
    }
    return {x, y, width, height};
}

std::string titleOf(const std::string& id) {
    const std::string name = commandOutput("xdotool getwindowname " + id + " 2>/dev/null");
    return name.substr(0, name.find('\n'));
}

std::vector<std::string> programWindowIds() {
    std::vector<std::string> ids;
    std::istringstream lines(commandOutput("xdotool search --onlyvisible --classname vorela"));
    for (std::string id; std::getline(lines, id);) ids.push_back(id);
    return ids;
}

}  // namespace

std::vector<std::pair<std::string, QRect>> Desktop::programWindows() const {
    std::vector<std::pair<std::string, QRect>> windows;
    for (const auto& id : programWindowIds()) windows.emplace_back(titleOf(id), frameOf(id));
    return windows;
}

std::optional<QRect> Desktop::windowOfType(const std::string& type,
                                           const std::string& title) const {
    for (const auto& id : programWindowIds()) {
        if (!title.empty() && titleOf(id) != title) continue;
        // The first type is the one the window asked for; later ones are fallbacks.
        const std::string types = commandOutput("xprop -id " + id + " _NET_WM_WINDOW_TYPE");
        const QRect frame = frameOf(id);
        if (types.find("= _NET_WM_WINDOW_TYPE_" + type) != std::string::npos && frame.width() > 32)
            return frame;
    }
    return std::nullopt;
}

void Desktop::setWindowManagerKeys(const std::vector<std::string>& keys) const {
    std::string config = kOpenboxConfig;
    std::string bindings;
    for (const auto& key : keys)
        bindings += "<keybind key=\"" + key +
                    "\"><action name=\"ShowMenu\"><menu>client-menu</menu></action></keybind>";
    config.insert(config.find("</keyboard>"), bindings);
    writeFile(folder_ / "openbox-rc.xml", config);
    run({"openbox", "--reconfigure"});
    // openbox grabs or lets go of its keys a moment later.
    QTest::qWait(500);
}

namespace {

// The program's folders, all inside `home`.
void useHome(const std::filesystem::path& home, std::filesystem::perms runtimePermissions) {
    const auto runtime = home / "runtime";
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, runtimePermissions,
                                 std::filesystem::perm_options::replace);
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
    setenv("XDG_CACHE_HOME", (home / "cache").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
}

}  // namespace

VorelaProcess::VorelaProcess(const std::string& preferences,
                             std::filesystem::perms runtimePermissions)
    : runtimePermissions_(runtimePermissions) {
    char pattern[] = "/tmp/vorela-home-XXXXXX";
    home_ = mkdtemp(pattern);
    useHome(home_, runtimePermissions_);
    writeFile(home_ / "config/app.vorela.Vorela/app.vorela.Vorela.plist",
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>" +
                  preferences + "</dict></plist>\n");
    pid_ = spawnLogged({VORELA_PROGRAM}, (home_ / "vorela.log").string());
}

VorelaProcess::~VorelaProcess() {
    // An orderly quit first; a program that does not end by then is a failure of its
    // own test, and the next test must not wait for it.
    if (pid_ > 0 && !endWith(SIGTERM, 10)) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    std::error_code error;
    std::filesystem::remove_all(home_, error);
}

void VorelaProcess::relaunch() {
    if (pid_ > 0) return;
    useHome(home_, runtimePermissions_);
    pid_ = spawnLogged({VORELA_PROGRAM}, (home_ / "vorela.log").string());
}

std::optional<int> VorelaProcess::startAgain(const std::vector<std::string>& arguments) const {
    const pid_t pid = startAgainInBackground(arguments);
    const auto status = waitForExit(pid, 20);
    if (!status) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    return status;
}

pid_t VorelaProcess::startAgainInBackground(const std::vector<std::string>& arguments) const {
    std::vector<std::string> command{VORELA_PROGRAM};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return spawnLogged(command, (home_ / "second.log").string());
}

std::string VorelaProcess::log() const {
    std::ifstream file(home_ / "vorela.log");
    return std::string(std::istreambuf_iterator<char>(file), {});
}

std::string VorelaProcess::laterStartsLog() const {
    std::ifstream file(home_ / "second.log");
    return std::string(std::istreambuf_iterator<char>(file), {});
}

bool VorelaProcess::isRunning() {
    if (pid_ > 0 && waitForExit(pid_, 0.01)) pid_ = 0;
    return pid_ > 0;
}

std::optional<int> VorelaProcess::endWith(int signal, double seconds) {
    if (pid_ <= 0) return std::nullopt;
    kill(pid_, signal);
    return waitForEnd(seconds);
}

std::optional<int> VorelaProcess::waitForEnd(double seconds) {
    if (pid_ <= 0) return std::nullopt;
    const auto status = waitForExit(pid_, seconds);
    if (status) pid_ = 0;
    return status;
}

std::optional<QRect> VorelaProcess::waitForTrayIcon() const {
    for (int i = 0; i < 200; ++i) {
        for (const auto& [title, frame] : Desktop::shared().programWindows())
            if (frame.width() <= 32 && frame.height() <= 32 && frame.top() < 24) return frame;
        QTest::qWait(50);
    }
    return std::nullopt;
}

}  // namespace vorela::testing
