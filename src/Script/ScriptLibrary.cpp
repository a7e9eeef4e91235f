#include "Script/ScriptLibrary.h"

#include <algorithm>

#include "Platform/Bundle/Bundle.h"
#include "Script/Bookmark.h"
#include "Script/SampleScript.h"
#include "Script/Unicode.h"

namespace vorela {

namespace {

std::vector<const EntityDescription*> schema() {
    return {&Script::entityDescription(), &Bookmark::entityDescription()};
}

bool contains(const std::string& text, const std::string& needle) {
    return unicode::lowercased(text).find(needle) != std::string::npos;
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
// asking); a failure is logged.
ScriptLibrary::~ScriptLibrary() { save(); }

std::filesystem::path ScriptLibrary::storeLocation() {
    return ModelStore::defaultLocation("library.sqlite");
}

void ScriptLibrary::open(ModelStore::OpenResult opened) {
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
        if (contains(script->title(), needle) ||
            (!script->isTooLargeToOpen() && contains(script->body(), needle))) {
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
                           std::optional<std::string> body) {
    if (!script) return;
    if (script->isDeleted()) {
        // Writing to a deleted record would report a save that stores nothing.
        logger_.notice("No se guardó el cambio: el guion ya no está en la biblioteca");
        return;
    }
    if (title) script->setTitle(std::move(*title));
    if (body) script->setBody(std::move(*body));
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
        if (saveError_ != error->description())
            logger_.error("No se pudo guardar: " + error->description());
        saveError_ = error->description();
    } else {
        saveError_.reset();
    }
}

bool ScriptLibrary::hasUnsavedChanges() const {
    return store_ && store_->mainContext().hasChanges();
}

}  // namespace vorela
