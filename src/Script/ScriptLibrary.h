#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Platform/Log/Log.h"
#include "Platform/Observation/Observable.h"
#include "Platform/Store/ModelStore.h"
#include "Platform/Time/Clock.h"
#include "Script/Importers/ImportedScript.h"
#include "Script/Script.h"

namespace vorela {

// The one store of scripts: opens the persistent store at start-up, keeps every script
// ordered by last modification (newest first) for the views, seeds the sample script
// into an empty library, and offers search, creation, import, editing, duplication and
// saving. Failures are logged under "library"; a store that fails to open leaves the
// library empty, with loadError() set, and is never overwritten. What no save could write
// by the end goes into a text file beside the store (UnsavedTextFile). Main thread only.
class ScriptLibrary {
public:
    using ScriptList = std::vector<std::shared_ptr<Script>>;

    // The application's store lives at storeLocation(); `inMemory` keeps it in memory.
    explicit ScriptLibrary(bool inMemory, const Clock& clock = SystemClock::shared());
    // A store at an explicit file, for tools and tests.
    ScriptLibrary(const std::filesystem::path& file, const Clock& clock);
    ~ScriptLibrary();
    ScriptLibrary(const ScriptLibrary&) = delete;
    ScriptLibrary& operator=(const ScriptLibrary&) = delete;
    ScriptLibrary(ScriptLibrary&&) = delete;
    ScriptLibrary& operator=(ScriptLibrary&&) = delete;

    // $XDG_DATA_HOME/app.vorela.Vorela/library.sqlite (or under ~/.local/share).
    static std::filesystem::path storeLocation();

    const ScriptList& scripts() const { return scripts_.get(); }
    [[nodiscard]] Subscription observeScripts(std::function<void(const ScriptList&)> callback) {
        return scripts_.observe(std::move(callback));
    }
    // The description of the error that kept the store from opening.
    const std::optional<std::string>& loadError() const { return loadError_; }
    // The store's file; empty in memory.
    const std::filesystem::path& location() const { return location_; }
    // The open store, whose main context deletes records; null when opening failed.
    ModelStore* container() const { return store_.get(); }

    void reload();
    // Case-insensitive containment in the title, else the body, in the order of scripts().
    ScriptList search(std::string_view query) const;
    // Inserts, saves and reloads; null without a store.
    std::shared_ptr<Script> create(std::string title, std::string body,
                                   std::optional<std::string> folder = std::nullopt);
    std::shared_ptr<Script> importScript(const ImportedScript& imported);
    // Sets what is given, moves modifiedAt to now and saves; does not reload. A caller that
    // counted the body's words passes the count, which the script then keeps.
    void update(const std::shared_ptr<Script>& script, std::optional<std::string> title,
                std::optional<std::string> body, std::optional<long> bodyWordCount = std::nullopt);
    void duplicate(const std::shared_ptr<Script>& source);
    // Writes the main context's pending changes; a failure is logged and kept in
    // saveError(), and the changes stay pending for the next save. A script the file
    // refuses stays pending alone: the others are written.
    void save();
    // Why the last save failed; none once a save succeeds or nothing is pending.
    const std::optional<std::string>& saveError() const { return saveError_; }
    bool hasUnsavedChanges() const;
    // The scripts whose text is not written yet.
    ScriptList unsavedScripts() const;
    // "«title»" of each of them, joined by ", "; empty when there is none.
    std::string unsavedTitles() const;
    // The user chose to lose what is unsaved: the end writes no text file of it.
    void discardUnsavedChanges() { keepsUnsavedText_ = false; }
    // What to tell the user about the text files of scripts an earlier run could not save;
    // none when there are none.
    const std::optional<std::string>& unsavedTextNotice() const { return unsavedTextNotice_; }

private:
    void open(ModelStore::OpenResult opened);
    void seedIfEmpty();
    void keepUnsavedText();
    void noticeUnsavedTextFiles();

    const Clock& clock_;
    Log logger_{"library"};
    Observable<ScriptList> scripts_;
    std::optional<std::string> loadError_;
    std::optional<std::string> saveError_;
    std::optional<std::string> unsavedTextNotice_;
    bool keepsUnsavedText_ = true;
    std::filesystem::path location_;
    std::unique_ptr<ModelStore> store_;
};

}  // namespace vorela
