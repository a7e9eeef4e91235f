#include <gtest/gtest.h>

#include <cstdlib>

#include "App/AppStateEnvironment.h"
#include "App/ScriptLibraryViewModel.h"
#include "Script/Bookmark.h"
#include "Support/LibraryFixture.h"

namespace vorela {
namespace {

namespace fs = std::filesystem;

class ScriptLibraryViewModelTest : public testing::LibraryTest {
protected:
    ~ScriptLibraryViewModelTest() override { model_.reset(); }

    // The sample the first start seeded is removed unless asked to keep it.
    ScriptLibraryViewModel& makeModel() {
        AppState& state = makeAttachedState(40);
        emptyLibrary();
        model_ = std::make_unique<ScriptLibraryViewModel>(state, *library_, pasteboard_);
        return *model_;
    }
    std::vector<std::string> titles() {
        std::vector<std::string> out;
        for (const auto& group : model_->groupedScripts()) {
            out.push_back("[" + ScriptLibraryViewModel::sectionTitle(group.folder) + "]");
            for (const auto& s : group.scripts) out.push_back(s->title());
        }
        return out;
    }
    static fs::path data(const std::string& name) {
        return fs::path(std::getenv("VORELA_TEST_DATA")) / "script" / name;
    }

    std::unique_ptr<ScriptLibraryViewModel> model_;
};

TEST_F(ScriptLibraryViewModelTest, GroupsByFolderAndNarrowsBySearch) {
    auto& model = makeModel();
    add("Uno", "hola mundo", "alfa");
    add("Dos", "adiós", "Zeta");
    add("Tres", "hola otra vez");
    add("Cuatro", "nada", "alfa");
    // No folder first, then case-sensitive: "Zeta" before "alfa"; newest first inside.
    EXPECT_EQ(titles(), (std::vector<std::string>{"[Sin carpeta]", "Tres", "[Zeta]", "Dos",
                                                  "[alfa]", "Cuatro", "Uno"}));
    model.select(library_->scripts().back());
    struct Case {
        const char* name;
        const char* query;
        std::vector<std::string> expected;
    } cases[] = {
        {"body match, any case", "HOLA", {"[Sin carpeta]", "Tres", "[alfa]", "Uno"}},
        {"nothing matches", "xyz", {}},
        {"blanks list everything",
         "  \t",
         {"[Sin carpeta]", "Tres", "[Zeta]", "Dos", "[alfa]", "Cuatro", "Uno"}},
        {"cleared", "", {"[Sin carpeta]", "Tres", "[Zeta]", "Dos", "[alfa]", "Cuatro", "Uno"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        model.setQuery(c.query);
        EXPECT_EQ(titles(), c.expected);
        EXPECT_EQ(model.selected()->title(), "Uno") << "the search never changes the selection";
    }
}

TEST_F(ScriptLibraryViewModelTest, CountsWordsAndReadingTime) {
    auto& model = makeModel();
    state_->setWpm(120);
    struct Case {
        const char* name;
        std::string body;
        const char* row;
        const char* time;
    } cases[] = {
        {"empty body", "", "0 palabras · 0:00", "0:00"},
        {"four words", "uno dos tres cuatro", "4 palabras · 0:02", "0:02"},
        {"240 words at 120 ppm", numberedWords(240), "240 palabras · 2:00", "2:00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        model.select(add("t", c.body));
        EXPECT_EQ(model.rowDetail(*model.selected()), c.row);
        EXPECT_EQ(model.readingTimeText(), c.time);
    }
    model.editBody("otra cosa distinta");
    EXPECT_EQ(model.wordCountText(), "3 palabras") << "the editor counts the draft";
}

TEST_F(ScriptLibraryViewModelTest, ListLinesAreRemadeOnlyWhenWhatIsListedCanChange) {
    auto& model = makeModel();
    add("Ventas", "el trimestre", "Clientes");
    const auto weather = add("Clima", "lluvia y sol");
    model.select(weather);
    using Row = ScriptLibraryViewModel::ListRow;
    EXPECT_EQ(model.listRows(), (std::vector<Row>{{std::nullopt, nullptr},
                                                  {std::nullopt, weather},
                                                  {"Clientes", nullptr},
                                                  {"Clientes", library_->scripts().back()}}));
    const auto shown = model.listRevision();
    model.editBody("lluvia y sol y nieve");
    EXPECT_EQ(model.listRevision(), shown) << "typing changes no line";
    EXPECT_EQ(model.rowDetail(*weather).substr(0, 10), "5 palabras")
        << "the row shows the count the editor saved";

    model.setQuery("lluvia");
    EXPECT_NE(model.listRevision(), shown);
    EXPECT_EQ(model.listRows().size(), 2u);
    model.editBody("sol");
    EXPECT_TRUE(model.listRows().empty()) << "an edit that no longer matches drops the line";
    EXPECT_EQ(model.selected(), weather) << "and keeps the selection";
    model.editBody("lluvia otra vez");
    EXPECT_EQ(model.listRows().size(), 2u);
    model.setQuery("");
    EXPECT_EQ(model.listRows().size(), 4u);
    library_->reload();
    EXPECT_EQ(model.listRows()[1].script, weather) << "the edited script comes first at reload";
}

TEST_F(ScriptLibraryViewModelTest, NewDuplicateAndDelete) {
    auto& model = makeModel();
    EXPECT_FALSE(model.canDuplicate());
    EXPECT_FALSE(model.canDelete());
    model.newScript();
    ASSERT_TRUE(model.selected());
    EXPECT_EQ(model.draftTitle(), "Guion sin título");
    EXPECT_EQ(model.draftBody(), "");
    const auto source = model.selected();
    model.duplicateSelected();
    EXPECT_EQ(library_->scripts().size(), 2u);
    EXPECT_EQ(library_->scripts().front()->title(), "Guion sin título (copia)");
    EXPECT_EQ(model.selected(), source) << "the selection stays on the source";

    mark(source, 3, "aquí");
    model.loadIntoPrompter();
    ASSERT_EQ(state_->activeScript.get(), source);
    model.deleteSelected();
    EXPECT_FALSE(model.selected());
    EXPECT_EQ(library_->scripts().size(), 1u);
    EXPECT_FALSE(state_->activeScript.get()) << "the prompter forgets the deleted record";
    EXPECT_TRUE(state_->bookmarks().empty());
    EXPECT_EQ(state_->scriptTitle.get(), "Guion sin título") << "its text stays loaded";
}

TEST_F(ScriptLibraryViewModelTest, WithoutAStoreDeleteOnlyClearsTheSelection) {
    AppState& state = makeState();
    fs::create_directories(folder_ / "not-a-database");
    ScriptLibrary broken(folder_ / "not-a-database", loop_.clock());
    ASSERT_FALSE(broken.container());
    ScriptLibraryViewModel model(state, broken, pasteboard_);
    auto orphan = Script::make("suelto", "texto", "es-ES", loop_.clock().now());
    model.select(orphan);
    model.deleteSelected();
    EXPECT_FALSE(model.selected());
    model.newScript();
    EXPECT_FALSE(model.selected()) << "new selects nothing without a store";
}

TEST_F(ScriptLibraryViewModelTest, ImportsEachKindAndRefusedFilesChangeNothing) {
    auto& model = makeModel();
    struct Case {
        const char* name;
        const char* file;
        const char* title;
    } kinds[] = {
        {"markdown", "guion.md", "guion"},
        {"latin-1 text", "latin1.txt", "latin1"},
        {"rich text", "documento.rtf", "documento"},
        {"rich text folder", "Carta.rtfd", "Carta"},
        {"presentation notes", "notas.pptx", "notas"},
    };
    for (const auto& c : kinds) {
        SCOPED_TRACE(c.name);
        model.importFile(data(c.file));
        EXPECT_FALSE(model.importError());
        ASSERT_TRUE(model.selected());
        EXPECT_EQ(model.selected()->title(), c.title);
        EXPECT_FALSE(model.draftBody().empty());
    }
    const auto before = library_->scripts();
    const auto selected = model.selected();
    struct Refused {
        const char* name;
        fs::path file;
        std::string message;
    } refused[] = {
        {"unsupported kind", data("documento.html"), "No sé leer archivos .html todavía."},
        {"empty text", folder_ / "vacio.txt", "El archivo no tiene texto que se pueda leer."},
    };
    std::ofstream(folder_ / "vacio.txt") << "  \n\n ";
    for (const auto& c : refused) {
        SCOPED_TRACE(c.name);
        model.importFile(c.file);
        EXPECT_EQ(model.importError(), c.message);
        EXPECT_EQ(library_->scripts(), before);
        EXPECT_EQ(model.selected(), selected);
        model.dismissImportError();
        EXPECT_FALSE(model.importError());
    }
    pasteboard_.setString("“Hola”\n\n\n\nmundo");
    model.importFromPasteboard();
    EXPECT_EQ(model.selected()->title(), "Guion pegado");
    EXPECT_EQ(model.draftBody(), "\"Hola\"\n\nmundo");
    pasteboard_.setString(std::nullopt);
    model.importFromPasteboard();
    EXPECT_EQ(model.importError(), "El archivo no tiene texto que se pueda leer.");
}

TEST_F(ScriptLibraryViewModelTest, EditsAreSavedAndSurviveAReopen) {
    // Bug: a title edit reached the library only through Return or a load, so choosing
    // another script dropped it. Every edit the user makes is saved as it happens.
    auto& model = makeModel();
    const auto first = add("Primero", "uno");
    const auto second = add("Segundo", "dos");
    model.select(first);
    model.editTitle("Primero cambiado");
    model.select(second);
    model.editBody("dos y tres");
    const Date secondModified = second->modifiedAt();
    loop_.advanceBy(std::chrono::seconds(5));
    model.select(first);  // replacing the drafts writes nothing back
    model.select(second);
    EXPECT_EQ(second->modifiedAt(), secondModified);

    model_.reset();
    reopenLibrary();
    std::vector<std::pair<std::string, std::string>> stored;
    for (const auto& s : library_->scripts()) stored.emplace_back(s->title(), s->body());
    EXPECT_EQ(stored, (std::vector<std::pair<std::string, std::string>>{
                          {"Segundo", "dos y tres"}, {"Primero cambiado", "uno"}}));
}

TEST_F(ScriptLibraryViewModelTest, BookmarksJumpLoadingTheirScriptAndCanBeRemoved) {
    auto& model = makeModel();
    const auto script = add("Marcado", numberedWords(40));
    const auto late = mark(script, 30, "final");
    const auto early = mark(script, 10, "medio");
    const auto twin = mark(script, 30, "gemelo");
    model.select(script);
    EXPECT_EQ(model.bookmarks(), (std::vector<std::shared_ptr<Bookmark>>{early, late, twin}));
    EXPECT_EQ(model.bookmarkCountText(), "3 marcadores");

    state_->load("otro texto cualquiera", "Otro");
    model.editTitle("Marcado y cargado");
    model.jumpToBookmark(early);
    EXPECT_EQ(state_->activeScript.get(), script) << "its own script is loaded first";
    EXPECT_EQ(state_->scriptTitle.get(), "Marcado y cargado");
    EXPECT_EQ(state_->currentTokenIndex.get(), 10);

    for (const auto& b : {early, late, twin}) model.removeBookmark(b);
    EXPECT_FALSE(model.bookmarkCountText()) << "no count once the last one is gone";
    EXPECT_TRUE(model.bookmarks().empty());
}

TEST_F(ScriptLibraryViewModelTest, AppearingSelectsTheLoadedScriptElseTheNewest) {
    auto& model = makeModel();
    const auto older = add("Viejo", "a");
    const auto newer = add("Nuevo", "b");
    model.appear();
    EXPECT_EQ(model.selected(), newer);
    model.select(nullptr);
    state_->load(older);
    model.appear();
    EXPECT_EQ(model.selected(), older);
    model.select(newer);
    model.appear();
    EXPECT_EQ(model.selected(), newer) << "a selection that is set stays";
}

}  // namespace
}  // namespace vorela
