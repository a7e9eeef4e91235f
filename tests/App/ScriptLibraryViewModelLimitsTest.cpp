#include <gtest/gtest.h>

#include "App/AppStateEnvironment.h"
#include "App/ScriptLibraryViewModel.h"
#include "Support/LibraryFixture.h"

namespace vorela {
namespace {

// What the library view does with records it cannot safely open, on a real SQLite file.
class ScriptLibraryViewModelLimitsTest : public testing::LibraryTest {};

TEST_F(ScriptLibraryViewModelLimitsTest, AStoredScriptOverTheLimitIsKeptButNeverOpened) {
    // A 268 MB script let in by an import was counted, drafted and laid out at every start,
    // which ended in bad_alloc; the program holds no body over the import limit in words.
    AppState& state = makeAttachedState(40);
    emptyLibrary();
    const std::string huge(Script::kMaxBodySize + 1, 'a');  // one word: cheap even unbounded
    add("Enorme", huge);
    add("Corto", "dos palabras");
    reopenLibrary();  // as the next start finds it
    {
        ScriptLibraryViewModel model(state, *library_, pasteboard_);
        model.appear();
        ASSERT_EQ(library_->scripts().size(), 2u);
        const auto tooLarge = library_->scripts().back();
        EXPECT_TRUE(model.rowDetail(*library_->scripts().front()).starts_with("2 palabras"));
        EXPECT_EQ(model.rowDetail(*tooLarge), "Más de 50 MB: no se puede abrir");

        model.select(tooLarge);
        EXPECT_TRUE(model.isSelectedTooLarge());
        EXPECT_EQ(model.draftBody(), "");
        EXPECT_FALSE(model.canDuplicate());
        EXPECT_TRUE(model.canDelete());
        model.editBody("esto no reemplaza nada");
        model.editTitle("Enorme viejo");
        model.loadIntoPrompter();
        EXPECT_EQ(state.activeScript.get(), nullptr);
        state.load(tooLarge);
        EXPECT_EQ(state.activeScript.get(), nullptr);
        EXPECT_NE(state.scriptTitle.get(), "Enorme viejo");
    }
    reopenLibrary();
    const auto kept = library_->scripts().back();
    EXPECT_EQ(kept->title(), "Enorme viejo");  // the title is still the user's to change
    EXPECT_EQ(kept->body().size(), huge.size());
}

}  // namespace
}  // namespace vorela
