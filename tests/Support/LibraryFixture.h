#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "App/AppStateEnvironment.h"
#include "Script/Bookmark.h"
#include "Script/ScriptLibrary.h"

namespace vorela::testing {

// The central state over fakes with a script library on a real SQLite file in a
// temporary folder (seeded with the sample script, as a first start leaves it).
class LibraryTest : public AppStateTest {
protected:
    ~LibraryTest() override {
        library_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    std::filesystem::path libraryFile() const { return folder_ / "library.sqlite"; }
    void reopenLibrary() {
        library_ = std::make_unique<ScriptLibrary>(libraryFile(), loop_.clock());
    }
    void emptyLibrary() {
        for (const auto& script : library_->scripts())
            library_->container()->mainContext().deleteObject(script);
        library_->save();
        library_->reload();
    }
    // One second apart, so the library's newest-first order is the order of creation.
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

    std::filesystem::path folder_ = makeTemporaryFolder();
    std::unique_ptr<ScriptLibrary> library_ =
        std::make_unique<ScriptLibrary>(folder_ / "library.sqlite", loop_.clock());
};

}  // namespace vorela::testing
