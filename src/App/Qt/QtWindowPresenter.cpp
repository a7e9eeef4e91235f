#include "App/Qt/QtWindowPresenter.h"

#include <QCoreApplication>
#include <QWidget>
#include <algorithm>

#include "App/Qt/AboveWhileActive.h"
#include "Platform/Loop/RunLoop.h"

namespace vorela {
namespace {

void applyScene(QWidget& window, const WindowScene& scene) {
    window.setWindowTitle(QString::fromStdString(scene.title));
    const int width = static_cast<int>(scene.widthPoints);
    if (scene.isResizable) {
        // At least the scene's size, and never less than the content's own minimum.
        const QSize minimum = QSize(width, static_cast<int>(scene.heightPoints.value_or(0)))
                                  .expandedTo(window.minimumSizeHint());
        window.setMinimumSize(minimum);
        window.resize(window.sizeHint().expandedTo(minimum));
    } else if (scene.heightPoints) {
        window.setFixedSize(width, static_cast<int>(*scene.heightPoints));
    } else {
        // The width is the scene's, the height the content's.
        window.setFixedWidth(width);
        window.setFixedHeight(window.sizeHint().height());
    }
}

}  // namespace

QtWindowPresenter::QtWindowPresenter(RunLoop& loop, Terminate terminate)
    : loop_(loop), terminate_(std::move(terminate)) {}

QtWindowPresenter::~QtWindowPresenter() {
    raiseTimer_.cancel();
    for (auto& [id, entry] : entries_) delete entry.window.data();
}

void QtWindowPresenter::registerWindow(WindowId id, Factory make, Update update) {
    Entry& entry = entries_[id];
    entry.make = std::move(make);
    entry.update = std::move(update);
}

QWidget* QtWindowPresenter::window(WindowId id) const {
    const auto it = entries_.find(id);
    return it == entries_.end() ? nullptr : it->second.window.data();
}

void QtWindowPresenter::activateForWindow() {
    // X11 has no application activation: the raise below activates the top window.
    raiseTimer_ = loop_.schedule(kRaiseDelaySeconds, [this] { raiseContentWindows(); });
}

void QtWindowPresenter::open(WindowId id, bool showsDebugTab) {
    const auto it = entries_.find(id);
    if (it == entries_.end() || !it->second.make) {
        logger_.notice("No hay ventana para \"" + std::string(windowScene(id).identifier) + "\"");
        return;
    }
    Entry& entry = it->second;
    const Opening opening{.showsDebugTab = id == WindowId::settings && showsDebugTab};
    QWidget* window = entry.window.data();
    if (window && entry.opening.showsDebugTab != opening.showsDebugTab && entry.update) {
        entry.update(*window, opening);
        entry.opening = opening;
    } else if (window && entry.opening.showsDebugTab != opening.showsDebugTab) {
        const QRect frame = window->geometry();
        delete window;
        window = make(id, entry, opening);
        if (window) window->setGeometry(frame);
    } else if (!window) {
        window = make(id, entry, opening);
    }
    if (!window) return;
    std::erase(openingOrder_, id);
    openingOrder_.push_back(id);
    window->show();
    window->raise();
    window->activateWindow();
}

QWidget* QtWindowPresenter::make(WindowId id, Entry& entry, const Opening& opening) {
    std::unique_ptr<QWidget> made = entry.make(opening);
    if (!made) return nullptr;
    made->setParent(nullptr, Qt::Window);
    made->setAttribute(Qt::WA_DeleteOnClose);
    AboveWhileActive::install(*made);
    const WindowScene& scene = windowScene(id);
    if (made->objectName().isEmpty()) made->setObjectName(QString::fromUtf8(scene.identifier));
    applyScene(*made, scene);
    entry.window = made.get();
    entry.opening = opening;
    return made.release();
}

void QtWindowPresenter::dismiss(WindowId id) {
    if (QWidget* window = this->window(id)) window->close();
}

void QtWindowPresenter::terminate() {
    if (terminate_)
        terminate_();
    else
        QCoreApplication::exit(0);  // quit() would let a window that refuses its close cancel it
}

void QtWindowPresenter::raiseContentWindows() {
    QWidget* last = nullptr;
    for (const WindowId id : openingOrder_) {
        QWidget* window = this->window(id);
        if (!window || !window->isVisible()) continue;
        window->raise();
        last = window;
    }
    if (last) last->activateWindow();
}

}  // namespace vorela
