#pragma once

#include <QDir>
#include <QImage>
#include <QWidget>
#include <filesystem>
#include <memory>

#include "App/AppStateEnvironment.h"
#include "Script/Bookmark.h"
#include "Script/ScriptLibrary.h"
#include "Support/QtTestApp.h"

namespace vorela::testing {

// The central state over fakes with a script library on a real SQLite file in a
// temporary folder, for the Qt tests of the main window and the library view.
class LibraryWindowTest : public AppStateTest {
protected:
    LibraryWindowTest() {
        qtTestApp();
        library_ = std::make_unique<ScriptLibrary>(folder_ / "library.sqlite", loop_.clock());
    }
    ~LibraryWindowTest() override {
        library_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    void emptyLibrary() {
        for (const auto& script : library_->scripts())
            library_->container()->mainContext().deleteObject(script);
        library_->save();
        library_->reload();
    }
    std::shared_ptr<Script> add(const std::string& title, const std::string& body,
                                std::optional<std::string> folder = std::nullopt) {
        loop_.advanceBy(std::chrono::seconds(1));
        return library_->create(title, body, std::move(folder));
    }
    std::shared_ptr<Bookmark> mark(const std::shared_ptr<Script>& script, long index,
                                   const std::string& label) {
        auto bookmark = Bookmark::make(index, label);
        library_->container()->mainContext().insert(bookmark);
        bookmark->setScript(script);
        library_->save();
        return bookmark;
    }

    // Renders the widget into build/tests/artifacts/<name> and returns the image.
    static QImage screenshot(QWidget& widget, const char* name) {
        const QImage image = widget.grab().toImage();
        const QString folder = QDir::current().absoluteFilePath("artifacts");
        QDir().mkpath(folder);
        image.save(folder + "/" + name);
        return image;
    }

    std::filesystem::path folder_ = makeTemporaryFolder();
    std::unique_ptr<ScriptLibrary> library_;
};

}  // namespace vorela::testing
