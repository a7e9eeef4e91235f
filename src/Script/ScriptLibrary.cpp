#include "Script/ScriptLibrary.h"

#include <algorithm>
#include <cstring>

#include "Platform/Bundle/Bundle.h"
#include "Script/Bookmark.h"
#include "Script/SampleScript.h"
#include "Script/Unicode.h"
#include "Script/UnsavedTextFile.h"

namespace vorela {

namespace {

std::vector<const EntityDescription*> schema() {
    return {&Script::entityDescription(), &Bookmark::entityDescription()};
}

// memmem: the C library's search is several times faster over long bodies than find().
bool contains(const std::string& haystack, const std::string& needle) {
    return memmem(haystack.data(), haystack.size(), needle.data(), needle.size()) != nullptr;
}

}  // namespace

ScriptLibrary::ScriptLibrary(bool inMemory, const Clock& clock) : clock_(clock) {
    if (!inMemory) location_ = storeLocation();
    open(inMemory ? ModelStore::openInMemory(schema()) : ModelStore::open(location_, schema()));
}

ScriptLibrary::ScriptLibrary(const std::filesystem::path& file, const Clock& clock)
    : clock_(clock), location_(file) {
    open(ModelStore::open(file, schema()));
}

// A last try for changes an earlier save could not write (a signal ends the program without
// asking); what it cannot write either is kept as text.
ScriptLibrary::~ScriptLibrary() {
    save();
    if (keepsUnsavedText_) keepUnsavedText();
}

void ScriptLibrary::keepUnsavedText() {
    const ScriptList unsaved = unsavedScripts();
    if (unsaved.empty() || location_.empty()) return;
    const auto written = UnsavedTextFile::write(location_.parent_path(), unsaved, clock_.now());
    if (written.path.empty()) {
        logger_.error("Se pierde el texto de " + unsavedTitles() +
                      ": no se pudo guardar ni escribir en «" + location_.parent_path().string() +
                      "» (" + written.error.value_or("") + ")");
        return;
    }
    if (written.error) {
        logger_.error("El texto de " + unsavedTitles() + " quedó incompleto en «" +
                      written.path.string() + "» (" + *written.error + ")");
        return;
    }
    logger_.notice("El texto de " + unsavedTitles() + ", que no se pudo guardar, quedó en «" +
                   written.path.string() + "»");
}

void ScriptLibrary::noticeUnsavedTextFiles() {
    const auto files = UnsavedTextFile::takeNew(location_.parent_path());
    if (files.empty()) return;
    std::string names;
    for (const auto& file : files) names += (names.empty() ? "«" : "», «") + file.string();
    unsavedTextNotice_ = Bundle::localized(
                             "La última vez que se cerró, Vorela no pudo guardar algunos "
                             "guiones en la biblioteca. Su texto quedó en ") +
                         names + "».";
    logger_.notice(*unsavedTextNotice_);
}

std::filesystem::path ScriptLibrary::storeLocation() {
    return ModelStore::defaultLocation("library.sqlite");
}

void ScriptLibrary::open(ModelStore::OpenResult opened) {
    if (!location_.empty()) noticeUnsavedTextFiles();
    if (opened.store) {
        store_ = std::move(opened.store);
    } else {
        const std::string description =
            opened.error ? opened.error->description() : StoreError{}.description();
        loadError_ = description;
        logger_.error("No se pudo abrir la biblioteca: " + description);
    }
    reload();
    seedIfEmpty();
}

void ScriptLibrary::seedIfEmpty() {
    if (!store_ || !scripts().empty()) return;
    create(SampleScript::title(), SampleScript::text(), std::nullopt);
}

void ScriptLibrary::reload() {
    if (!store_) return;
    auto fetched = store_->mainContext().fetchAll(Script::entityDescription());
    if (fetched.error) {
        scripts_.set({});
        return;
    }
    ScriptList list;
    list.reserve(fetched.objects.size());
    for (auto& object : fetched.objects) list.push_back(std::static_pointer_cast<Script>(object));
    // Newest first; of two edits in the same instant the later record counts as newer.
    std::sort(list.begin(), list.end(), [](const auto& a, const auto& b) {
        if (a->modifiedAt() != b->modifiedAt()) return a->modifiedAt() > b->modifiedAt();
        return a->persistentModelID().row > b->persistentModelID().row;
    });
    scripts_.set(std::move(list));
}

ScriptLibrary::ScriptList ScriptLibrary::search(std::string_view query) const {
    if (unicode::trimWhitespace(query).empty()) return scripts();
    // Only the emptiness test trims: spaces around the words stay part of the needle.
    const std::string needle = unicode::lowercased(query);
    ScriptList result;
    for (const auto& script : scripts()) {
        // Lower-casing a body over the limit would take gigabytes: only its title is searched.
        if (contains(script->lowercasedTitle(), needle) ||
            (!script->isTooLargeToOpen() && contains(script->lowercasedBody(), needle))) {
            result.push_back(script);
        }
    }
    return result;
}

std::shared_ptr<Script> ScriptLibrary::create(std::string title, std::string body,
                                              std::optional<std::string> folder) {
    if (!store_) return nullptr;
    auto script = Script::make(std::move(title), std::move(body),
                               std::string(rawValue(systemDefaultTranscriptionLocale())),
                               clock_.now(), std::nullopt, std::move(folder));
    store_->mainContext().insert(script);
    save();
    reload();
    return script;
}

std::shared_ptr<Script> ScriptLibrary::importScript(const ImportedScript& imported) {
    return create(imported.title, imported.body, std::nullopt);
}

void ScriptLibrary::update(const std::shared_ptr<Script>& script, std::optional<std::string> title,
                           std::optional<std::string> body, std::optional<long> bodyWordCount) {
    if (!script) return;
    if (script->isDeleted()) {
        // Writing to a deleted record would report a save that stores nothing.
        logger_.notice("No se guardó el cambio: el guion ya no está en la biblioteca");
        return;
    }
    if (title) script->setTitle(std::move(*title));
    if (body && bodyWordCount)
        script->setBody(std::move(*body), *bodyWordCount);
    else if (body)
        script->setBody(std::move(*body));
    script->setModifiedAt(clock_.now());
    save();
}

void ScriptLibrary::duplicate(const std::shared_ptr<Script>& source) {
    if (!source) return;
    create(Bundle::localized(source->title() + " (copia)"), source->body(), source->folder());
}

void ScriptLibrary::save() {
    if (!hasUnsavedChanges()) {
        saveError_.reset();
        return;
    }
    if (auto error = store_->mainContext().save()) {
        // Logged once per failure, not at every keystroke that retries it.
        if (saveError_ != error->description()) {
            const std::string titles = unsavedTitles();
            logger_.error("No se pudo guardar: " + error->description() +
                          (titles.empty() ? "" : " Sin guardar: " + titles + "."));
        }
        saveError_ = error->description();
    } else {
        saveError_.reset();
    }
}

bool ScriptLibrary::hasUnsavedChanges() const {
    return store_ && store_->mainContext().hasChanges();
}

ScriptLibrary::ScriptList ScriptLibrary::unsavedScripts() const {
    ScriptList unsaved;
    if (!store_) return unsaved;
    for (auto& object : store_->mainContext().unsavedObjects(Script::entityDescription()))
        unsaved.push_back(std::static_pointer_cast<Script>(object));
    return unsaved;
}

std::string ScriptLibrary::unsavedTitles() const {
    std::string titles;
    for (const auto& script : unsavedScripts())
        titles += (titles.empty() ? "«" : ", «") + script->title() + "»";
    return titles;
}

}  // namespace vorela
