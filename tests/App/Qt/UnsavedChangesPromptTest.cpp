#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include "App/Qt/ScriptEditorView.h"
#include "App/Qt/UnsavedChangesPrompt.h"
#include "App/ScriptLibraryViewModel.h"
#include "Support/LibraryWindowFixture.h"
#include "Support/TinyFileSystem.h"

namespace vorela {
namespace {

namespace fs = std::filesystem;

// Saving onto a real SQLite file on a file system that runs full.
class UnsavedChangesPromptTest : public testing::LibraryWindowTest {
protected:
    void TearDown() override {
        changes_ = {};
        editor_.reset();
        model_.reset();
        disk_.reset();
    }
    // A library on a small disk with one script, then the disk filled.
    bool makeFullLibrary() {
        if (!disk_->isMounted()) return false;
        makeAttachedState(40);
        library_ =
            std::make_unique<ScriptLibrary>(disk_->folder() / "library.sqlite", loop_.clock());
        emptyLibrary();
        script_ = add("Discurso", "hola");
        model_ = std::make_unique<ScriptLibraryViewModel>(*state_, *library_, pasteboard_);
        editor_ = std::make_unique<ScriptEditorView>(*model_);
        editor_->resize(700, 420);
        editor_->show();
        // As the library view does: the editor redraws after every change of the model.
        changes_ = model_->observeChanges([this] { editor_->refresh(); });
        model_->select(script_);
        disk_->fill();
        return true;
    }
    template <class T>
    T* child(QObject& root, const char* name) {
        T* found = root.findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    static void click(QMessageBox& box, const char* name) {
        box.findChild<QPushButton*>(name)->click();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    std::unique_ptr<testing::TinyFileSystem> disk_ =
        std::make_unique<testing::TinyFileSystem>(256 << 10);
    std::shared_ptr<Script> script_;
    std::unique_ptr<ScriptLibraryViewModel> model_;
    std::unique_ptr<ScriptEditorView> editor_;
    Subscription changes_;
    const std::string edit_ =
        testing::AppStateTest::numberedWords(5000);  // about 60 KB: room for it once freed
};

TEST_F(UnsavedChangesPromptTest, AFailedSaveStaysInSightAndQuittingAsksFirst) {
    // On a full disk each edit failed to save with only a log line, and quitting ended the
    // program over the unsaved text. The editor now keeps the failure in view, and quitting
    // asks; nothing is lost once the disk has room again.
    if (!makeFullLibrary()) GTEST_SKIP() << "mounting needs root";
    auto* notice = child<QWidget>(*editor_, "saveErrorNotice");
    EXPECT_FALSE(notice->isVisible());
    model_->editBody(edit_);
    ASSERT_TRUE(library_->hasUnsavedChanges());
    ASSERT_TRUE(notice->isVisible());
    EXPECT_TRUE(child<QLabel>(*editor_, "saveErrorLabel")
                    ->text()
                    .startsWith("No se pudo guardar «Discurso». No queda espacio en el disco"));
    QCoreApplication::processEvents();  // the notice's own layout
    screenshot(*editor_, "editor-save-failed.png");
    const QColor tint = notice->grab().toImage().pixelColor(2, 2);
    EXPECT_GT(tint.red() - tint.green(), 8) << "the notice stands out in red";

    int quits = 0;
    UnsavedChangesPrompt prompt(*library_, [&] { ++quits; });
    prompt.requestQuit();
    ASSERT_NE(prompt.question(), nullptr);
    EXPECT_EQ(quits, 0);
    screenshot(*prompt.question(), "quit-with-unsaved-changes.png");
    click(*prompt.question(), "cancelButton");
    EXPECT_EQ(prompt.question(), nullptr);
    EXPECT_EQ(quits, 0);

    prompt.requestQuit();
    click(*prompt.question(), "retryButton");
    ASSERT_NE(prompt.question(), nullptr) << "still full: asked again";
    EXPECT_EQ(quits, 0);

    fs::remove(disk_->folder() / "relleno");
    click(*prompt.question(), "retryButton");
    EXPECT_EQ(prompt.question(), nullptr);
    EXPECT_EQ(quits, 1);
    EXPECT_FALSE(library_->hasUnsavedChanges());
    model_->retrySave();
    EXPECT_FALSE(notice->isVisible());
    changes_ = {};
    editor_.reset();
    model_.reset();
    library_ = std::make_unique<ScriptLibrary>(disk_->folder() / "library.sqlite", loop_.clock());
    ASSERT_EQ(library_->scripts().size(), 1u);
    EXPECT_TRUE(library_->scripts().front()->body() == edit_) << "the edit reached the disk";
}

TEST_F(UnsavedChangesPromptTest, OnlyWhatTheUserChoseToLoseIsLeftOutOfTheTextFile) {
    makeAttachedState(40);
    const auto textFiles = [&] {
        int count = 0;
        for (const auto& entry : fs::directory_iterator(folder_))
            count += entry.path().extension() == ".txt";
        return count;
    };
    for (const bool discards : {true, false}) {
        SCOPED_TRACE(discards ? "Salir sin guardar" : "the end without asking");
        reopenLibrary();
        // Another program holds the library file: nothing can be saved to the end.
        sqlite3* other = nullptr;
        ASSERT_EQ(sqlite3_open(libraryFile().c_str(), &other), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
        library_->update(library_->scripts().front(), "Escrito", std::nullopt);
        int quits = 0;
        UnsavedChangesPrompt prompt(*library_, [&] { ++quits; });
        if (discards) {
            prompt.requestQuit();
            ASSERT_NE(prompt.question(), nullptr);
            EXPECT_TRUE(prompt.question()->text().startsWith(
                "No se pudieron guardar los últimos cambios de «Escrito»."))
                << prompt.question()->text().toStdString();
            click(*prompt.question(), "quitWithoutSavingButton");
            EXPECT_EQ(quits, 1);
        }
        library_.reset();
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        EXPECT_EQ(textFiles(), discards ? 0 : 1);
    }
}

TEST_F(UnsavedChangesPromptTest, RetryInTheEditorSavesOnceThereIsRoom) {
    if (!makeFullLibrary()) GTEST_SKIP() << "mounting needs root";
    model_->editBody(edit_);
    auto* notice = child<QWidget>(*editor_, "saveErrorNotice");
    ASSERT_TRUE(notice->isVisible());
    fs::remove(disk_->folder() / "relleno");
    child<QPushButton>(*editor_, "retrySaveButton")->click();
    EXPECT_FALSE(notice->isVisible());
    EXPECT_FALSE(library_->hasUnsavedChanges());

    int quits = 0;
    UnsavedChangesPrompt prompt(*library_, [&] { ++quits; });
    prompt.requestQuit();
    EXPECT_EQ(prompt.question(), nullptr) << "nothing unsaved: no question";
    EXPECT_EQ(quits, 1);
}

}  // namespace
}  // namespace vorela
