#include "App/ScriptLibraryViewModel.h"

#include <unicode/normalizer2.h>

#include <algorithm>

#include "App/AppState.h"
#include "Platform/Bundle/Bundle.h"
#include "Platform/Foundation/Format.h"
#include "Script/Bookmark.h"
#include "Script/Importers/ScriptImporter.h"
#include "Script/Tokenizer.h"
#include "Script/Unicode.h"
#include "Window/PrompterContentView.h"

namespace vorela {

namespace {

std::string readingTime(long words, double wordsPerMinute) {
    const double seconds = wordsPerMinute > 0 ? words / (wordsPerMinute / 60) : 0;
    return PrompterContentView::timeString(seconds);
}

// Canonically composed UTF-8: its byte order is the order of the Unicode scalars.
std::string folderSortKey(const std::optional<std::string>& folder) {
    if (!folder) return {};
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status)) return *folder;
    const icu::UnicodeString composed = nfc->normalize(unicode::toUtf16(*folder), status);
    if (U_FAILURE(status)) return *folder;
    std::string key;
    composed.toUTF8String(key);
    return key;
}

}  // namespace

ScriptLibraryViewModel::ScriptLibraryViewModel(AppState& appState, ScriptLibrary& library,
                                               const Pasteboard& pasteboard)
    : appState_(appState), library_(library), pasteboard_(pasteboard) {
    scriptsChanged_ = library_.observeScripts([this](const auto&) {
        // A record deleted behind the view's back is no longer shown as selected.
        isListStale_ = true;
        if (selected_ && selected_->isDeleted()) return select(nullptr);
        notify();
    });
    wpmChanged_ = appState_.wpm.observe([this](double) { notify(); });
    activeScriptChanged_ = appState_.activeScript.observe([this](const auto&) { notify(); });
}

void ScriptLibraryViewModel::setQuery(std::string query) {
    if (query == query_) return;
    query_ = std::move(query);
    isListStale_ = true;
    notify();
}

std::vector<ScriptLibraryViewModel::FolderGroup> ScriptLibraryViewModel::groupedScripts() const {
    std::vector<FolderGroup> groups;
    for (const auto& script : library_.search(query_)) {
        const auto folder = script->folder();
        auto group = std::find_if(groups.begin(), groups.end(),
                                  [&](const FolderGroup& g) { return g.folder == folder; });
        if (group == groups.end()) group = groups.insert(groups.end(), FolderGroup{folder, {}});
        group->scripts.push_back(script);
    }
    std::vector<std::pair<std::string, FolderGroup>> keyed;
    for (auto& group : groups) keyed.emplace_back(folderSortKey(group.folder), std::move(group));
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    groups.clear();
    for (auto& [key, group] : keyed) groups.push_back(std::move(group));
    return groups;
}

const std::vector<ScriptLibraryViewModel::ListRow>& ScriptLibraryViewModel::listRows() const {
    if (!isListStale_) return listRows_;
    isListStale_ = false;
    std::vector<ListRow> rows;
    for (auto& group : groupedScripts()) {
        rows.push_back({group.folder, nullptr});
        for (auto& script : group.scripts) rows.push_back({group.folder, std::move(script)});
    }
    if (rows != listRows_) {
        listRows_ = std::move(rows);
        ++listRevision_;
    }
    return listRows_;
}

std::uint64_t ScriptLibraryViewModel::listRevision() const {
    listRows();
    return listRevision_;
}

std::string ScriptLibraryViewModel::sectionTitle(const std::optional<std::string>& folder) {
    return folder ? *folder : Bundle::localized("Sin carpeta");
}

std::string ScriptLibraryViewModel::rowDetail(const Script& script) const {
    // Counting its words would take gigabytes: a script over the limit is named, not counted.
    if (script.isTooLargeToOpen()) return Bundle::localized("Más de 50 MB: no se puede abrir");
    const long words = script.wordCount();
    return format("%lld", static_cast<long long>(words)) + Bundle::localized(" palabras · ") +
           readingTime(words, appState_.wpm.get());
}

std::optional<std::string> ScriptLibraryViewModel::libraryErrorText() const {
    const auto& error = library_.loadError();
    if (!error) return std::nullopt;
    return Bundle::localized("No se pudo abrir la biblioteca de guiones. ") + *error +
           Bundle::localized(" El archivo «") + library_.location().string() +
           Bundle::localized(
               "» queda como está, sin cambios; mientras tanto no se pueden "
               "crear ni importar guiones.");
}

void ScriptLibraryViewModel::select(ScriptPtr script) {
    selected_ = std::move(script);
    draftTitle_ = selected_ ? selected_->title() : std::string();
    const bool isDrafted = selected_ && !isSelectedTooLarge();
    setDraftBody(isDrafted ? selected_->body() : std::string());
    draftWords_.reset(isDrafted ? selected_->wordCount() : 0);
    notify();
}

std::string ScriptLibraryViewModel::tooLargeText() {
    return Bundle::localized(
        "Este guion ocupa más de 50 MB: es demasiado largo para abrirlo o cargarlo en el "
        "prompter. Se conserva tal cual en la biblioteca; podés borrarlo.");
}

void ScriptLibraryViewModel::appear() {
    if (selected_) return;
    if (const auto& active = appState_.activeScript.get())
        select(active);
    else
        select(library_.scripts().empty() ? nullptr : library_.scripts().front());
}

void ScriptLibraryViewModel::newScript() {
    select(library_.create(Bundle::localized("Guion sin título"), ""));
}

void ScriptLibraryViewModel::importFromPasteboard() {
    if (!canCreate()) return refuseImport();
    auto imported = ScriptImporter::fromPasteboard(pasteboard_);
    if (!imported) {
        importError_ = imported.error().description();
        return notify();
    }
    select(library_.importScript(imported.value()));
}

void ScriptLibraryViewModel::importFile(const std::filesystem::path& path) {
    // A dropped file comes here even while the buttons are off.
    if (!canCreate()) return refuseImport();
    auto imported = ScriptImporter::load(path);
    if (!imported) {
        importError_ = imported.error().description();
        return notify();
    }
    select(library_.importScript(imported.value()));
}

void ScriptLibraryViewModel::refuseImport() {
    importError_ =
        Bundle::localized("No se puede importar porque la biblioteca de guiones no se pudo abrir.");
    notify();
}

void ScriptLibraryViewModel::duplicateSelected() {
    if (!selected_) return;
    library_.duplicate(selected_);
    notify();
}

void ScriptLibraryViewModel::deleteSelected() {
    if (!selected_) return;
    const ScriptPtr doomed = selected_;
    if (ModelStore* store = library_.container()) {
        store->mainContext().deleteObject(doomed);
        library_.save();
        library_.reload();
        // The prompter keeps the text, but no longer the deleted record's bookmarks.
        appState_.forgetDeletedScript(doomed);
    }
    select(nullptr);
}

void ScriptLibraryViewModel::dismissImportError() {
    if (!importError_) return;
    importError_.reset();
    notify();
}

void ScriptLibraryViewModel::editTitle(std::string title) {
    if (title == draftTitle_) return;
    draftTitle_ = std::move(title);
    saveDraft();
}

void ScriptLibraryViewModel::editBody(std::string body) {
    if (body == draftBody_ || isSelectedTooLarge()) return;
    draftWords_.update(draftBody_, body);
    setDraftBody(std::move(body));
    saveDraft();
}

void ScriptLibraryViewModel::setDraftBody(std::string body) {
    draftBody_ = std::move(body);
    ++draftBodyRevision_;
}

void ScriptLibraryViewModel::saveDraft() {
    if (!selected_) return;
    // The draft of a body too large to open is empty: only the title is the user's.
    library_.update(selected_, draftTitle_,
                    isSelectedTooLarge() ? std::nullopt : std::optional(draftBody_),
                    draftWords_.count());
    // The edited script may now match the query, or no longer.
    if (!unicode::trimWhitespace(query_).empty()) isListStale_ = true;
    notify();
}

std::optional<std::string> ScriptLibraryViewModel::saveErrorText() const {
    const auto& error = library_.saveError();
    if (!error) return std::nullopt;
    // Named: one script the file refuses does not keep the others from being saved.
    const std::string titles = library_.unsavedTitles();
    return Bundle::localized("No se pudo guardar") + (titles.empty() ? "" : " " + titles) + ". " +
           *error +
           Bundle::localized(
               " Los cambios siguen aquí y se vuelven a guardar con cada cambio o "
               "con «Reintentar».");
}

void ScriptLibraryViewModel::retrySave() {
    library_.save();
    notify();
}

void ScriptLibraryViewModel::loadIntoPrompter() {
    if (!selected_ || isSelectedTooLarge()) return;
    saveDraft();
    appState_.load(selected_);
}

long ScriptLibraryViewModel::wordCount() const { return draftWords_.count(); }

std::string ScriptLibraryViewModel::wordCountText() const {
    return format("%lld", static_cast<long long>(wordCount())) + Bundle::localized(" palabras");
}

std::string ScriptLibraryViewModel::readingTimeText() const {
    return readingTime(wordCount(), appState_.wpm.get());
}

std::optional<std::string> ScriptLibraryViewModel::bookmarkCountText() const {
    const auto count = bookmarks().size();
    if (count == 0) return std::nullopt;
    return format("%lld", static_cast<long long>(count)) + Bundle::localized(" marcadores");
}

std::vector<ScriptLibraryViewModel::BookmarkPtr> ScriptLibraryViewModel::bookmarks() const {
    if (!selected_) return {};
    auto list = selected_->bookmarks();
    std::stable_sort(list.begin(), list.end(), [](const auto& a, const auto& b) {
        return a->tokenIndex() < b->tokenIndex();
    });
    return list;
}

void ScriptLibraryViewModel::jumpToBookmark(const BookmarkPtr& bookmark) {
    if (!bookmark) return;
    // A bookmark's word index means something only in its own script's words.
    const auto owner = bookmark->script();
    if (owner && owner->isTooLargeToOpen()) return;
    if (owner && appState_.activeScript.get() != owner) {
        if (owner == selected_) saveDraft();
        appState_.load(owner);
    }
    appState_.jumpToToken(bookmark->tokenIndex());
}

void ScriptLibraryViewModel::removeBookmark(const BookmarkPtr& bookmark) {
    ModelStore* store = library_.container();
    if (!bookmark || !store) return;
    store->mainContext().deleteObject(bookmark);
    library_.save();
    notify();
}

}  // namespace vorela
