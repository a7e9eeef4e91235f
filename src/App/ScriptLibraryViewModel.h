#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Platform/Observation/ObserverList.h"
#include "Script/ScriptLibrary.h"

namespace vorela {

class AppState;
class Bookmark;
class Pasteboard;

// What the library view and its editor show and do, without a toolkit: the search, the
// folder groups, the row and info texts, the selection with its two drafts, the import
// paths and the editor's commands. The Qt view only draws it and forwards clicks.
//
// Drafts are replaced without a save when the selection changes; every edit the user
// makes, title or body, is saved at once. Main thread only; the state, the library and
// the pasteboard must outlive the model.
class ScriptLibraryViewModel {
public:
    using ScriptPtr = std::shared_ptr<Script>;
    using BookmarkPtr = std::shared_ptr<Bookmark>;

    struct FolderGroup {
        std::optional<std::string> folder;  // none: the scripts without a folder
        ScriptLibrary::ScriptList scripts;
    };

    ScriptLibraryViewModel(AppState& appState, ScriptLibrary& library,
                           const Pasteboard& pasteboard);
    ScriptLibraryViewModel(const ScriptLibraryViewModel&) = delete;
    ScriptLibraryViewModel& operator=(const ScriptLibraryViewModel&) = delete;
    ScriptLibraryViewModel(ScriptLibraryViewModel&&) = delete;
    ScriptLibraryViewModel& operator=(ScriptLibraryViewModel&&) = delete;
    ~ScriptLibraryViewModel() = default;

    // Runs after anything the view shows may have changed: a command, a reload of the
    // library, a new reading rate or a script loaded into the prompter.
    [[nodiscard]] Subscription observeChanges(std::function<void()> onChange) {
        return changed_.add(std::move(onChange));
    }

    // --- the list ---
    const std::string& query() const { return query_; }
    void setQuery(std::string query);
    std::vector<FolderGroup> groupedScripts() const;
    static std::string sectionTitle(const std::optional<std::string>& folder);
    // "<n> palabras · <reading time>" of the stored body, in the script's own language.
    std::string rowDetail(const Script& script) const;
    // Creating and importing need the library's file open.
    bool canCreate() const { return library_.container() != nullptr; }
    // Why the library could not be opened, for the main window; none while it is open.
    std::optional<std::string> libraryErrorText() const;
    bool canDuplicate() const { return selected_ != nullptr && !isSelectedTooLarge(); }
    bool canDelete() const { return selected_ != nullptr; }

    // --- selection and commands ---
    const ScriptPtr& selected() const { return selected_; }
    // A body over Script::kMaxBodySize is never drafted, counted, saved or loaded: only
    // its title can be edited, and the script deleted.
    bool isSelectedTooLarge() const { return selected_ && selected_->isTooLargeToOpen(); }
    static std::string tooLargeText();
    void select(ScriptPtr script);
    // Coming into view with nothing selected: the loaded script, else the newest one.
    void appear();
    void newScript();
    void importFromPasteboard();
    void importFile(const std::filesystem::path& path);
    void duplicateSelected();
    void deleteSelected();
    const std::optional<std::string>& importError() const { return importError_; }
    void dismissImportError();

    // --- the editor ---
    const std::string& draftTitle() const { return draftTitle_; }
    const std::string& draftBody() const { return draftBody_; }
    void editTitle(std::string title);
    void editBody(std::string body);
    void saveDraft();
    // While the library's changes cannot be written: why, and that they are kept.
    std::optional<std::string> saveErrorText() const;
    void retrySave();
    void loadIntoPrompter();
    long wordCount() const;  // of the draft, in the prompter's language
    std::string wordCountText() const;
    std::string readingTimeText() const;
    // "<n> marcadores", or nothing while the selected script has none.
    std::optional<std::string> bookmarkCountText() const;
    // The selected script's bookmarks by word index, equal indexes in stored order.
    std::vector<BookmarkPtr> bookmarks() const;
    // Loads the selected script first when another text is in the prompter.
    void jumpToBookmark(const BookmarkPtr& bookmark);
    void removeBookmark(const BookmarkPtr& bookmark);

private:
    void notify() const { changed_.notify(); }
    void refuseImport();

    AppState& appState_;
    ScriptLibrary& library_;
    const Pasteboard& pasteboard_;
    std::string query_;
    ScriptPtr selected_;
    std::string draftTitle_;
    std::string draftBody_;
    std::optional<std::string> importError_;
    ObserverList<> changed_;
    // Last: they reach the fields above.
    Subscription scriptsChanged_;
    Subscription wpmChanged_;
    Subscription activeScriptChanged_;
};

}  // namespace vorela
