#include "Platform/Screens/Linux/QtScreens.h"

#include <QGuiApplication>
#include <QObject>
#include <QScreen>
#include <QWindow>

namespace vorela {

namespace {

Rect toRect(const QRect& r) {
    return {double(r.x()), double(r.y()), double(r.width()), double(r.height())};
}

Screen describe(const QScreen& screen, const Rect& primary) {
    Screen s;
    const QString output = screen.name();
    if (!output.isEmpty()) s.deviceIdentifier = output.toStdString();
    const QString model = screen.model();
    s.localizedName = (model.isEmpty() ? output : model).toStdString();
    s.frame = fromTopLeftSpace(toRect(screen.geometry()), primary);
    s.visibleFrame = fromTopLeftSpace(toRect(screen.availableGeometry()), primary);
    return s;
}

Rect primaryRect() {
    const QScreen* primary = QGuiApplication::primaryScreen();
    return primary ? toRect(primary->geometry()) : Rect{};
}

}  // namespace

QtScreens::QtScreens() : context_(std::make_unique<QObject>()) {
    auto* app = qGuiApp;
    if (!app) return;
    const auto changed = [this] { observers_.notify(); };
    QObject::connect(app, &QGuiApplication::screenAdded, context_.get(),
                     [this, changed](QScreen* s) {
                         watch(s);
                         changed();
                     });
    QObject::connect(app, &QGuiApplication::screenRemoved, context_.get(), changed);
    // A new primary screen moves the origin, so every frame changes.
    QObject::connect(app, &QGuiApplication::primaryScreenChanged, context_.get(), changed);
    for (QScreen* s : QGuiApplication::screens()) watch(s);
}

QtScreens::~QtScreens() = default;

void QtScreens::watch(QScreen* screen) {
    const auto changed = [this] { observers_.notify(); };
    QObject::connect(screen, &QScreen::geometryChanged, context_.get(), changed);
    QObject::connect(screen, &QScreen::availableGeometryChanged, context_.get(), changed);
}

std::vector<Screen> QtScreens::screens() const {
    const Rect primary = primaryRect();
    std::vector<Screen> result;
    for (const QScreen* s : QGuiApplication::screens()) result.push_back(describe(*s, primary));
    return result;
}

std::optional<Screen> QtScreens::mainScreen() const {
    QScreen* screen = nullptr;
    if (QWindow* focus = QGuiApplication::focusWindow()) screen = focus->screen();
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return std::nullopt;
    return describe(*screen, primaryRect());
}

Subscription QtScreens::observeChanges(std::function<void()> onChange) {
    return observers_.add(std::move(onChange));
}

}  // namespace vorela
