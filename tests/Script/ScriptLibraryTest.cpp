#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>

#include "Platform/Bundle/SystemLocale.h"
#include "Platform/Store/ModelContext.h"
#include "Platform/Store/ModelStore.h"
#include "Platform/Time/Fake/ManualClock.h"
#include "Script/Bookmark.h"
#include "Script/SampleScript.h"
#include "Script/ScriptLibrary.h"
#include "Support/RecordingLogSink.h"

namespace vorela {
namespace {

namespace fs = std::filesystem;

// A second connection to the library file, as another process would hold it.
class OtherConnection {
public:
    explicit OtherConnection(const fs::path& file) { sqlite3_open(file.c_str(), &db_); }
    ~OtherConnection() { sqlite3_close(db_); }
    OtherConnection(const OtherConnection&) = delete;
    OtherConnection& operator=(const OtherConnection&) = delete;

    void execute(const std::string& sql) {
        ASSERT_EQ(sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK)
            << sqlite3_errmsg(db_);
    }
    long long count(const std::string& sql) {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr);
        const long long n =
            sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int64(statement, 0) : -1;
        sqlite3_finalize(statement);
        return n;
    }

private:
    sqlite3* db_ = nullptr;
};

class ScriptLibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        home_ = fs::temp_directory_path() /
                ("vorela-library-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(home_);
        fs::create_directories(home_);
        if (const char* old = std::getenv("XDG_DATA_HOME")) oldDataHome_ = old;
        setenv("XDG_DATA_HOME", home_.c_str(), 1);
        SystemLocale::setOverride("es_AR.UTF-8");
        previousSink_ = Log::setSink(sink_);
    }
    void TearDown() override {
        Log::setSink(previousSink_);
        SystemLocale::setOverride(std::nullopt);
        if (oldDataHome_) {
            setenv("XDG_DATA_HOME", oldDataHome_->c_str(), 1);
        } else {
            unsetenv("XDG_DATA_HOME");
        }
        fs::remove_all(home_);
    }

    fs::path storeFile() const { return home_ / "app.vorela.Vorela" / "library.sqlite"; }
    std::unique_ptr<ScriptLibrary> openLibrary() {
        return std::make_unique<ScriptLibrary>(false, clock_);
    }
    static std::string fileBytes(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    std::shared_ptr<Bookmark> addBookmark(ScriptLibrary& library,
                                          const std::shared_ptr<Script>& script, long index,
                                          std::string label) {
        auto bookmark = Bookmark::make(index, std::move(label));
        library.container()->mainContext().insert(bookmark);
        bookmark->setScript(script);
        library.save();
        return bookmark;
    }

    ManualClock clock_;
    std::shared_ptr<vorela::testing::RecordingLogSink> sink_ =
        std::make_shared<vorela::testing::RecordingLogSink>();
    std::shared_ptr<LogSink> previousSink_;
    fs::path home_;
    std::optional<std::string> oldDataHome_;
};

TEST_F(ScriptLibraryTest, FirstStartSeedsTheSampleOnceAndAnEmptiedLibraryAgain) {
    {
        auto library = openLibrary();
        EXPECT_FALSE(library->loadError());
        ASSERT_EQ(library->scripts().size(), 1u);
        const auto& sample = library->scripts()[0];
        EXPECT_EQ(sample->title(), "Guion de ejemplo");
        EXPECT_EQ(sample->body(), SampleScript::text());
        EXPECT_FALSE(sample->folder());
        EXPECT_FALSE(sample->preferredWPM());
        EXPECT_EQ(sample->localeIdentifier(), "es-MX");
        EXPECT_EQ(sample->createdAt(), clock_.now());
        EXPECT_TRUE(fs::exists(storeFile()));
    }
    {
        auto library = openLibrary();
        ASSERT_EQ(library->scripts().size(), 1u);
        library->container()->mainContext().deleteObject(library->scripts()[0]);
        library->save();
        library->reload();
        EXPECT_TRUE(library->scripts().empty());
    }
    auto library = openLibrary();
    ASSERT_EQ(library->scripts().size(), 1u);
    EXPECT_EQ(library->scripts()[0]->title(), "Guion de ejemplo");
}

TEST_F(ScriptLibraryTest, InMemoryLibraryTouchesNoFile) {
    ScriptLibrary library(true, clock_);
    EXPECT_EQ(library.scripts().size(), 1u);
    EXPECT_TRUE(library.container()->location().empty());
    EXPECT_FALSE(fs::exists(storeFile()));
}

TEST_F(ScriptLibraryTest, ScriptsAreListedNewestFirstAndEditsMoveOnlyAtReload) {
    ScriptLibrary library(true, clock_);
    clock_.advance(10);
    auto older = library.create("Viejo", "uno");
    clock_.advance(10);
    auto newer = library.create("Nuevo", "dos", "Charlas");
    EXPECT_EQ(library.scripts(), (ScriptLibrary::ScriptList{newer, older, library.scripts()[2]}));
    EXPECT_EQ(newer->folder(), "Charlas");

    clock_.advance(10);
    library.update(older, std::nullopt, std::nullopt);
    EXPECT_EQ(older->modifiedAt(), clock_.now());
    EXPECT_EQ(library.scripts()[0], newer);  // no reload yet
    library.reload();
    EXPECT_EQ(library.scripts()[0], older);
}

TEST_F(ScriptLibraryTest, SearchIgnoresCaseOfEveryLetterAndKeepsSpacesInTheNeedle) {
    ScriptLibrary library(true, clock_);
    clock_.advance(1);
    auto tree = library.create("ÁRBOL genealógico", "Historia de la familia");
    clock_.advance(1);
    auto bird = library.create("Aves", "El ÑANDÚ corre. Un pingüino nada.");
    clock_.advance(1);
    auto sport = library.create("Deportes", "fútbol y básquet");

    struct Case {
        const char* name;
        std::string query;
        ScriptLibrary::ScriptList expected;
    };
    const Case cases[] = {
        {"blanks list everything in order", " \t ", library.scripts()},
        {"upper-case accented title by lower-case query", "árbol", {tree}},
        {"lower-case accented query finds upper-case body", "ñandú", {bird}},
        {"upper-case query finds lower-case body", "FÚTBOL", {sport}},
        {"space before a word is part of the needle", " nada", {bird}},
        {"space before a word that starts the body", " fútbol", {}},
        {"nothing matches", "zeppelin", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(library.search(c.query), c.expected);
    }
}

// The counts and search forms are kept with each script: an edit must never leave a
// stale one behind, whichever way the edit arrives.
TEST_F(ScriptLibraryTest, WordCountsAndSearchFormsFollowEveryEdit) {
    ScriptLibrary library(true, clock_);
    auto script = library.create("Clima", "lluvia y sol");
    EXPECT_EQ(script->wordCount(), 3);
    EXPECT_EQ(library.search("LLUVIA"), ScriptLibrary::ScriptList{script});

    script->setBody("nieve");
    EXPECT_EQ(script->wordCount(), 1) << "a new body is counted again";
    EXPECT_TRUE(library.search("lluvia").empty()) << "and searched in its new words";
    EXPECT_EQ(library.search("NIEVE"), ScriptLibrary::ScriptList{script});

    library.update(script, std::string("Tormenta"), std::string("truenos y rayos"), 3);
    EXPECT_EQ(script->wordCount(), 3) << "the editor's count is taken as it is";
    EXPECT_EQ(library.search("torm"), ScriptLibrary::ScriptList{script});
    EXPECT_TRUE(library.search("clima").empty()) << "the old title no longer matches";
    library.update(script, std::nullopt, std::string("granizo"));
    EXPECT_EQ(script->wordCount(), 1) << "an update without a count counts the body";

    const auto copy = library.create("Clima", "");
    EXPECT_EQ(copy->wordCount(), 0);
}

TEST_F(ScriptLibraryTest, DuplicateKeepsFolderAndDropsLocaleRateAndBookmarks) {
    ScriptLibrary library(true, clock_);
    auto source = library.create("Charla", "Texto de la charla", "Eventos");
    source->setLocaleIdentifier("en-GB");
    source->setPreferredWPM(180);
    addBookmark(library, source, 2, "Inicio");
    clock_.advance(5);

    library.duplicate(source);
    const auto& copy = library.scripts()[0];
    EXPECT_NE(copy, source);
    EXPECT_EQ(copy->title(), "Charla (copia)");
    EXPECT_EQ(copy->body(), source->body());
    EXPECT_EQ(copy->folder(), "Eventos");
    EXPECT_EQ(copy->localeIdentifier(), "es-MX");
    EXPECT_FALSE(copy->preferredWPM());
    EXPECT_TRUE(copy->bookmarks().empty());
    EXPECT_EQ(copy->createdAt(), clock_.now());
    EXPECT_EQ(source->bookmarks().size(), 1u);
}

TEST_F(ScriptLibraryTest, OneLiveObjectPerRowAndIdentityEquality) {
    ScriptLibrary library(true, clock_);
    auto a = library.create("Mismo", "texto");
    auto b = library.create("Mismo", "texto");
    EXPECT_FALSE(*a == *b);  // equal fields, different records
    auto mark = addBookmark(library, a, 0, "m");
    EXPECT_EQ(mark->script(), a);
    library.reload();
    EXPECT_NE(std::find(library.scripts().begin(), library.scripts().end(), a),
              library.scripts().end());
    EXPECT_EQ(a->bookmarks().front(), mark);
}

// A fetch reads whole only the rows without a live record, one by one when they are few
// and in one pass when many; the live ones come back as they are, unsaved edits included.
TEST_F(ScriptLibraryTest, AFetchKeepsLiveRecordsAndReadsTheOthersWhole) {
    const struct {
        const char* name;
        int released;
    } cases[] = {{"all live", 0}, {"a few released", 5}, {"most released", 50}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto opened = ModelStore::openInMemory({&Script::entityDescription()});
        ASSERT_TRUE(opened.store);
        ModelContext& context = opened.store->mainContext();
        std::vector<std::shared_ptr<Script>> held;
        for (int i = 0; i < 60; ++i) {
            held.push_back(Script::make("guion " + std::to_string(i), "cuerpo " + std::to_string(i),
                                        "es-ES", clock_.now()));
            context.insert(held.back());
        }
        ASSERT_FALSE(context.save());
        // Released records leave the context; every third one of them.
        std::vector<std::shared_ptr<Script>> kept;
        int released = 0;
        for (std::size_t i = 0; i < held.size(); ++i) {
            if (i % 3 == 1 && released < c.released) {
                ++released;
                continue;
            }
            kept.push_back(held[i]);
        }
        held.clear();
        kept.front()->setBody("editado sin guardar");
        context.deleteObject(kept.back());
        auto pending = Script::make("nuevo", "sin guardar", "es-ES", clock_.now());
        context.insert(pending);

        const auto fetched = context.fetchAll(Script::entityDescription());
        ASSERT_FALSE(fetched.error);
        ASSERT_EQ(fetched.objects.size(), 60u);  // 59 stored and not deleted, 1 pending
        for (std::size_t i = 0; i + 1 < fetched.objects.size(); ++i) {
            const auto& script = static_cast<const Script&>(*fetched.objects[i]);
            EXPECT_EQ(script.persistentModelID().row, static_cast<std::int64_t>(i + 1));
            EXPECT_EQ(script.title(), "guion " + std::to_string(i));
            if (i > 0) {
                EXPECT_EQ(script.body(), "cuerpo " + std::to_string(i));
            }
        }
        EXPECT_EQ(fetched.objects.front(), kept.front());
        EXPECT_EQ(static_cast<const Script&>(*fetched.objects.front()).body(),
                  "editado sin guardar");
        EXPECT_EQ(fetched.objects.back(), pending);
        for (const auto& live : kept) {
            if (live == kept.back()) continue;
            EXPECT_NE(std::find(fetched.objects.begin(), fetched.objects.end(), live),
                      fetched.objects.end())
                << live->title();
        }
    }
}

TEST_F(ScriptLibraryTest, LocaleFallsBackToTheSystemDefault) {
    ScriptLibrary library(true, clock_);
    auto script = library.create("t", "b");
    for (const auto& [identifier, expected] :
         {std::pair{"en-US", TranscriptionLocale::englishUS},
          std::pair{"fr-FR", TranscriptionLocale::spanishMexico},
          std::pair{"", TranscriptionLocale::spanishMexico}}) {
        SCOPED_TRACE(identifier);
        script->setLocaleIdentifier(identifier);
        EXPECT_EQ(script->locale(), expected);
    }
}

TEST_F(ScriptLibraryTest, DeletingAScriptDeletesItsBookmarkRowsOnDisk) {
    {
        auto library = openLibrary();
        auto doomed = library->create("Borrar", "uno dos tres");
        auto kept = library->create("Quedar", "cuatro");
        auto first = addBookmark(*library, doomed, 0, "a");
        addBookmark(*library, doomed, 2, "b");
        addBookmark(*library, kept, 0, "c");
        library->container()->mainContext().deleteObject(doomed);
        EXPECT_TRUE(first->isDeleted());  // the live bookmark knows at once
        library->save();
        library->reload();
    }
    OtherConnection db(storeFile());
    EXPECT_EQ(db.count("SELECT count(*) FROM Bookmark"), 1);
    EXPECT_EQ(db.count("SELECT count(*) FROM Script WHERE title = 'Borrar'"), 0);
    auto library = openLibrary();
    ASSERT_EQ(library->search("Quedar").size(), 1u);
    EXPECT_EQ(library->search("Quedar")[0]->bookmarks().size(), 1u);
}

TEST_F(ScriptLibraryTest, FailedSaveKeepsChangesAndTheNextSaveWritesThem) {
    auto library = openLibrary();
    auto edited = library->create("Editar", "antes");
    auto doomed = library->create("Borrar", "x");
    {
        OtherConnection other(storeFile());
        other.execute("BEGIN IMMEDIATE");  // another process holds the write lock
        library->update(edited, "Editado", "después");
        library->container()->mainContext().deleteObject(doomed);
        auto created = library->create("Nuevo", "pendiente");
        ASSERT_NE(created, nullptr);
        EXPECT_TRUE(library->container()->mainContext().hasChanges());
        EXPECT_EQ(library->scripts()[0], created);  // fetches see pending changes
        EXPECT_EQ(library->search("Borrar").size(), 0u);
        const auto lines = sink_->lines();
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back().rfind("library: No se pudo guardar: ", 0), 0u) << lines.back();
        other.execute("ROLLBACK");
    }
    library->save();
    EXPECT_FALSE(library->container()->mainContext().hasChanges());
    library.reset();

    auto reopened = openLibrary();
    std::vector<std::string> titles;
    for (const auto& s : reopened->scripts())
        titles.push_back(s->title() + "/" + s->body().substr(0, 10));
    EXPECT_EQ(titles, (std::vector<std::string>{"Nuevo/pendiente", "Editado/después",
                                                "Guion de ejemplo/Buenos dí"}));
}

TEST_F(ScriptLibraryTest, ANewScriptWithAnEmptyBodyIsSavedAndSavingGoesOn) {
    // "Nuevo guion" stored its empty body as NULL: the file refused the script, and the
    // refused insert then failed every later save of any script.
    {
        auto library = openLibrary();
        ASSERT_NE(library->create("Guion sin título", ""), nullptr);
        EXPECT_FALSE(library->saveError()) << *library->saveError();
        ASSERT_NE(library->create("", "sin título"), nullptr);
        EXPECT_FALSE(library->saveError()) << *library->saveError();
        library->update(library->search("Guion de ejemplo")[0], std::nullopt, "editado");
        EXPECT_FALSE(library->hasUnsavedChanges());
    }
    OtherConnection db(storeFile());
    EXPECT_EQ(db.count("SELECT count(*) FROM Script WHERE title = 'Guion sin título' AND "
                       "body = ''"),
              1);
    EXPECT_EQ(db.count("SELECT count(*) FROM Script WHERE title = '' AND body = 'sin título'"), 1);
    EXPECT_EQ(db.count("SELECT count(*) FROM Script WHERE body = 'editado'"), 1);
}

TEST_F(ScriptLibraryTest, AScriptTheFileRefusesStaysPendingAloneAndNamed) {
    // A newer version's library, whose Script table has one more column that must be
    // filled: no script this version makes fits it, but every other change still does.
    fs::create_directories(storeFile().parent_path());
    {
        OtherConnection newer(storeFile());
        newer.execute(
            "PRAGMA application_id = 1448234049;"
            "CREATE TABLE Script (id INTEGER PRIMARY KEY AUTOINCREMENT, title TEXT NOT NULL, "
            "body TEXT NOT NULL, localeIdentifier TEXT NOT NULL, preferredWPM REAL, folder TEXT, "
            "createdAt REAL NOT NULL, modifiedAt REAL NOT NULL, color TEXT NOT NULL);"
            "INSERT INTO Script VALUES (1, 'Antiguo', 'uno', 'es-MX', NULL, NULL, 0, 0, 'rojo')");
    }
    auto library = openLibrary();
    ASSERT_FALSE(library->loadError()) << *library->loadError();
    ASSERT_EQ(library->scripts().size(), 1u);
    const auto old = library->scripts()[0];

    const auto imported = library->importScript({"Importado", "texto importado"});
    ASSERT_NE(imported, nullptr);
    ASSERT_TRUE(library->saveError());
    EXPECT_NE(library->saveError()->find("Script.color"), std::string::npos)
        << *library->saveError();
    EXPECT_EQ(library->unsavedScripts(), ScriptLibrary::ScriptList{imported});
    EXPECT_EQ(library->unsavedTitles(), "«Importado»");
    EXPECT_NE(sink_->lines().back().find("Sin guardar: «Importado»."), std::string::npos)
        << sink_->lines().back();

    library->update(old, "Antiguo editado", "dos");
    library->update(imported, std::nullopt, "escrito después");
    OtherConnection db(storeFile());
    EXPECT_EQ(db.count("SELECT count(*) FROM Script WHERE title = 'Antiguo editado' AND "
                       "body = 'dos' AND color = 'rojo'"),
              1)
        << "written beside the refused script";
    EXPECT_EQ(library->unsavedScripts(), ScriptLibrary::ScriptList{imported});
    EXPECT_EQ(imported->body(), "escrito después");

    library->container()->mainContext().deleteObject(imported);
    library->save();
    EXPECT_FALSE(library->saveError());
    EXPECT_FALSE(library->hasUnsavedChanges());
    EXPECT_EQ(db.count("SELECT count(*) FROM Script"), 1);
}

TEST_F(ScriptLibraryTest, TextNoSaveCouldWriteIsKeptInAFileNamedOnceAtTheNextStart) {
    // A signal ends the program without asking: an edit the store could not write was lost.
    const fs::path folder = storeFile().parent_path();
    const auto keptFiles = [&] {
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.path().extension() == ".txt") files.push_back(entry.path());
        return files;
    };
    {
        auto library = openLibrary();
        const auto speech = library->create("Discurso", "antes");
        OtherConnection other(storeFile());
        other.execute("BEGIN IMMEDIATE");  // another process holds the file to the end
        library->update(speech, std::nullopt, "después, sin guardar");
        library->create("Nuevo", "recién escrito");
        ASSERT_TRUE(library->saveError());
        library.reset();
        other.execute("ROLLBACK");
    }
    const auto written = keptFiles();
    ASSERT_EQ(written.size(), 1u);
    const std::string name = written[0].filename().string();
    EXPECT_TRUE(name.starts_with("Textos sin guardar ") && name.ends_with(" (nuevo).txt")) << name;
    EXPECT_EQ(fs::status(written[0]).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    const std::string text = fileBytes(written[0]);
    EXPECT_NE(text.find("=== Discurso ===\n\ndespués, sin guardar\n\n=== Nuevo ===\n\nrecién "
                        "escrito\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(sink_->lines().back(),
              "library: El texto de «Discurso», «Nuevo», que no se pudo "
              "guardar, quedó en «" +
                  written[0].string() + "»");

    auto reopened = openLibrary();
    const auto named = keptFiles();
    ASSERT_EQ(named.size(), 1u);
    EXPECT_FALSE(named[0].filename().string().ends_with("(nuevo).txt"));
    EXPECT_EQ(fileBytes(named[0]), text);
    ASSERT_TRUE(reopened->unsavedTextNotice());
    EXPECT_EQ(*reopened->unsavedTextNotice(),
              "La última vez que se cerró, Vorela no pudo guardar algunos guiones en la "
              "biblioteca. Su texto quedó en «" +
                  named[0].string() + "».");
    reopened.reset();
    EXPECT_FALSE(openLibrary()->unsavedTextNotice()) << "named once";

    // What the user chose to lose, and a library that saved everything, leave no file.
    {
        auto library = openLibrary();
        OtherConnection other(storeFile());
        other.execute("BEGIN IMMEDIATE");
        library->create("Descartado", "x");
        library->discardUnsavedChanges();
        library.reset();
        other.execute("ROLLBACK");
    }
    openLibrary()->create("Guardado", "y");
    EXPECT_EQ(keptFiles().size(), 1u);
}

TEST_F(ScriptLibraryTest, UpdatingADeletedScriptIsALoggedNoOp) {
    // Editing a script that was deleted meanwhile reported a save that stored nothing; the
    // update is now refused with a log line and leaves no pending change behind.
    ScriptLibrary library(true, clock_);
    auto script = library.create("t", "b");
    library.container()->mainContext().deleteObject(script);
    library.save();
    library.update(script, "nuevo", std::nullopt);
    EXPECT_EQ(script->title(), "t");
    EXPECT_FALSE(library.container()->mainContext().hasChanges());
}

TEST_F(ScriptLibraryTest, UnusableStoreSetsTheOpenErrorAndIsNeverOverwritten) {
    // A damaged or foreign library file could be replaced by a fresh empty store, losing the
    // user's scripts; opening now fails with the error and leaves the file's bytes untouched.
    struct Case {
        const char* name;
        std::function<void()> prepare;
        std::string expectedStart;
    };
    const fs::path folder = home_ / "app.vorela.Vorela";
    const Case cases[] = {
        {"not a database",
         [&] { std::ofstream(storeFile(), std::ios::binary) << std::string(4096, 'x'); },
         "El archivo de la biblioteca está dañado o no es una base de datos"},
        {"another program's database",
         [&] { OtherConnection(storeFile()).execute("CREATE TABLE notas (texto TEXT)"); },
         "La biblioteca tiene un formato que esta versión no conoce"},
        {"folder cannot be made",
         [&] {
             fs::remove_all(folder);
             std::ofstream(folder) << "un archivo";
         },
         "No se pudo crear ni abrir el archivo de la biblioteca"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(folder);
        fs::create_directories(folder);
        c.prepare();
        const fs::path watched = fs::is_directory(folder) ? storeFile() : folder;
        const std::string before = fileBytes(watched);

        auto library = openLibrary();
        ASSERT_TRUE(library->loadError());
        EXPECT_EQ(library->loadError()->rfind(c.expectedStart, 0), 0u) << *library->loadError();
        EXPECT_EQ(library->container(), nullptr);
        EXPECT_TRUE(library->scripts().empty());
        EXPECT_EQ(library->create("t", "b"), nullptr);
        library->save();
        library->reload();
        EXPECT_TRUE(library->search(" ").empty());
        EXPECT_EQ(sink_->lines().back(),
                  "library: No se pudo abrir la biblioteca: " + *library->loadError());
        library.reset();
        EXPECT_EQ(fileBytes(watched), before);
        fs::remove_all(folder);
        fs::remove(folder);
    }
}

TEST_F(ScriptLibraryTest, StoreLockedAtStartIsReportedNotTakenOver) {
    { openLibrary(); }
    OtherConnection other(storeFile());
    other.execute("BEGIN EXCLUSIVE");
    auto library = openLibrary();
    ASSERT_TRUE(library->loadError());
    EXPECT_EQ(library->loadError()->rfind("Otro programa tiene bloqueada la biblioteca", 0), 0u);
    other.execute("ROLLBACK");
    EXPECT_EQ(other.count("SELECT count(*) FROM Script"), 1);
}

TEST(SampleScriptTest, HasTheShapeOfASpeechOfEightParagraphs) {
    const std::string& text = SampleScript::text();
    EXPECT_EQ(text.size(), 2361u);
    std::size_t characters = 0;
    for (const char ch : text) characters += (static_cast<unsigned char>(ch) & 0xC0) != 0x80;
    EXPECT_EQ(characters, 2319u);
    std::size_t paragraphs = 1;
    for (std::size_t pos = 0; (pos = text.find('\n', pos)) != std::string::npos; pos += 2) {
        ASSERT_EQ(text.compare(pos, 2, "\n\n"), 0) << "a line break inside a paragraph at " << pos;
        ASSERT_NE(text[pos + 2], '\n');
        ++paragraphs;
    }
    EXPECT_EQ(paragraphs, 8u);
    for (const char* reading : {"Q48 millones", "18.4%", "2.5", "2031", "340"}) {
        EXPECT_NE(text.find(reading), std::string::npos) << reading;
    }
    EXPECT_EQ(SampleScript::title(), "Guion de ejemplo");
}

}  // namespace
}  // namespace vorela
