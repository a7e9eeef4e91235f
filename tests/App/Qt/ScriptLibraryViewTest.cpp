#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QToolButton>

#include "App/Qt/ScriptLibraryView.h"
#include "App/Qt/ScriptListModel.h"
#include "App/ScriptLibraryViewModel.h"
#include "Support/LibraryWindowFixture.h"

namespace vorela {
namespace {

namespace fs = std::filesystem;

class ScriptLibraryViewTest : public testing::LibraryWindowTest {
protected:
    ScriptLibraryView& makeView() {
        makeAttachedState(40);
        emptyLibrary();
        model_ = std::make_unique<ScriptLibraryViewModel>(*state_, *library_, pasteboard_);
        view_ = std::make_unique<ScriptLibraryView>(*model_);
        view_->resize(900, 520);
        view_->show();
        return *view_;
    }
    void TearDown() override {
        view_.reset();
        model_.reset();
    }
    template <class T>
    T* child(const char* name) {
        T* found = view_->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    std::vector<QString> rowTitles() {
        std::vector<QString> titles;
        const QAbstractItemModel* rows = child<QListView>("scriptList")->model();
        for (int row = 0; row < rows->rowCount(); ++row) {
            const QModelIndex line = rows->index(row, 0);
            if (!line.data(ScriptListModel::IsSectionRole).toBool())
                titles.push_back(line.data().toString());
        }
        return titles;
    }
    bool drop(const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        const bool taken = view_->handleDrop(&data);
        QCoreApplication::processEvents();
        return taken;
    }
    static QUrl dataFile(const char* name) {
        return QUrl::fromLocalFile(QString(std::getenv("VORELA_TEST_DATA")) + "/script/" + name);
    }

    std::unique_ptr<ScriptLibraryViewModel> model_;
    std::unique_ptr<ScriptLibraryView> view_;
};

TEST_F(ScriptLibraryViewTest, SearchNarrowsAndClearsAndButtonsFollowTheSelection) {
    makeView();
    EXPECT_FALSE(child<QToolButton>("duplicateButton")->isEnabled());
    EXPECT_FALSE(child<QToolButton>("deleteButton")->isEnabled());
    EXPECT_TRUE(child<QWidget>("emptyState")->isVisible());
    add("Ventas", "el trimestre");
    add("Clima", "lluvia");
    QTest::mouseClick(child<QToolButton>("newButton"), Qt::LeftButton);
    EXPECT_EQ(child<QLineEdit>("titleField")->text(), "Guion sin título");
    EXPECT_TRUE(child<QToolButton>("deleteButton")->isEnabled());

    auto* search = child<QLineEdit>("searchField");
    QTest::keyClicks(search, "TRIM");
    EXPECT_EQ(rowTitles(), std::vector<QString>{"Ventas"});
    EXPECT_EQ(child<QLineEdit>("titleField")->text(), "Guion sin título")
        << "the editor keeps the selection";
    search->clear();
    EXPECT_EQ(rowTitles().size(), 3u);

    QTest::mouseClick(child<QToolButton>("deleteButton"), Qt::LeftButton);
    EXPECT_EQ(rowTitles().size(), 2u);
    EXPECT_TRUE(child<QWidget>("emptyState")->isVisible());
}

TEST_F(ScriptLibraryViewTest, DropsImportOnlyTheFirstFileAndRefusedOnesAlert) {
    makeView();
    EXPECT_FALSE(drop({QUrl("https://example.org/guion.txt")})) << "not a file: refused";
    EXPECT_TRUE(drop({dataFile("guion.md"), dataFile("latin1.txt"), dataFile("notas.pptx")}));
    ASSERT_EQ(library_->scripts().size(), 1u);
    EXPECT_EQ(library_->scripts().front()->title(), "guion");
    EXPECT_EQ(child<QLineEdit>("titleField")->text(), "guion");

    view_->setFileChooser(
        [] { return fs::path(std::getenv("VORELA_TEST_DATA")) / "script/documento.html"; });
    QTest::mouseClick(child<QToolButton>("importButton"), Qt::LeftButton);
    auto* alert = view_->findChild<QMessageBox*>("importAlert");
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->windowTitle(), "No se pudo importar");
    EXPECT_EQ(alert->text(), "No sé leer archivos .html todavía.");
    EXPECT_EQ(library_->scripts().size(), 1u) << "a refused file changes nothing";
    EXPECT_EQ(child<QLineEdit>("titleField")->text(), "guion");
    alert->buttons().front()->click();
    QCoreApplication::processEvents();
    EXPECT_FALSE(model_->importError());

    view_->setFileChooser([] { return std::nullopt; });
    QTest::mouseClick(child<QToolButton>("importButton"), Qt::LeftButton);
    EXPECT_EQ(library_->scripts().size(), 1u) << "a cancelled dialog imports nothing";
}

TEST_F(ScriptLibraryViewTest, TypingSavesAndTheBookmarkStripJumpsAndRemoves) {
    makeView();
    const auto script = add("Con marcas", testing::AppStateTest::numberedWords(40));
    mark(script, 20, "mitad");
    mark(script, 5, "inicio");
    model_->select(script);
    auto* body = child<QPlainTextEdit>("bodyEditor");
    body->moveCursor(QTextCursor::End);
    QTest::keyClicks(body, " extra");
    EXPECT_EQ(script->body(), testing::AppStateTest::numberedWords(40) + " extra");
    EXPECT_EQ(child<QLabel>("wordCountLabel")->text(), "41 palabras");
    EXPECT_EQ(child<QLabel>("bookmarkCountLabel")->text(), "2 marcadores");
    QTest::keyClicks(child<QLineEdit>("titleField"), " nuevas");
    EXPECT_EQ(script->title(), "Con marcas nuevas");

    auto buttons = view_->findChildren<QToolButton*>("bookmarkButton");
    ASSERT_EQ(buttons.size(), 2);
    EXPECT_EQ(buttons[0]->text(), "inicio");
    QTest::mouseClick(buttons[1], Qt::LeftButton);
    EXPECT_EQ(state_->activeScript.get(), script);
    EXPECT_EQ(state_->currentTokenIndex.get(), 20);

    for (int i = 0; i < 2; ++i) {
        auto* remaining = view_->findChildren<QToolButton*>("bookmarkButton").front();
        remaining->findChild<QAction*>("removeBookmarkAction")->trigger();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_TRUE(script->bookmarks().empty());
    EXPECT_FALSE(child<QLabel>("bookmarkCountLabel")->isVisible());
    EXPECT_FALSE(child<QWidget>("bookmarkList")->isVisible());
    screenshot(*view_, "library-view-editor.png");
}

TEST_F(ScriptLibraryViewTest, ARunWithoutABreakIsWrappedAnywhereInTheEditor) {
    // Qt wraps a run with no break at word boundaries in time quadratic in its length (a
    // million characters froze the window for minutes), and anywhere in linear time. The
    // text itself is never touched.
    makeView();
    const std::string run(5000, 'x');
    const auto words = add("Palabras", "uno dos tres");
    const auto unbroken = add("De un tirón", "antes " + run + " después");
    auto* body = child<QPlainTextEdit>("bodyEditor");
    model_->select(unbroken);
    EXPECT_EQ(body->wordWrapMode(), QTextOption::WrapAnywhere);
    EXPECT_EQ(body->toPlainText().toStdString(), unbroken->body());
    model_->select(words);
    EXPECT_EQ(body->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);

    // Pasted into a script of words.
    body->moveCursor(QTextCursor::End);
    body->insertPlainText(QString::fromStdString(" " + run));
    EXPECT_EQ(body->wordWrapMode(), QTextOption::WrapAnywhere);
    EXPECT_EQ(words->body(), "uno dos tres " + run);
    EXPECT_EQ(body->toPlainText().toStdString(), words->body());
}

TEST_F(ScriptLibraryViewTest, AVeryLongParagraphOpensInPiecesAndSavesAsItWas) {
    // Qt lays a paragraph out whole as soon as a line of it shows: one of 50 MB took 14 s
    // and 2 GB to open. The editor shows it in pieces; the pieces never reach the text.
    makeView();
    std::string paragraph;
    for (int i = 0; paragraph.size() < 50000; ++i) paragraph += "palabra" + std::to_string(i) + " ";
    const std::string original = "Título\n" + paragraph + "\nfinal";
    const auto script = add("Largo", original);
    model_->select(script);
    auto* body = child<QPlainTextEdit>("bodyEditor");
    EXPECT_GE(body->document()->blockCount(), 2 + 4);
    for (QTextBlock block = body->document()->begin(); block.isValid(); block = block.next())
        EXPECT_LE(block.length(), 16385);

    QTest::keyClicks(body, "¡");  // at the start
    EXPECT_EQ(script->body(), "¡" + original);
    // A line feed typed into a piece, and text typed at the end of one.
    QTextCursor cursor(body->document()->findBlockByNumber(2));
    cursor.movePosition(QTextCursor::EndOfBlock);
    body->setTextCursor(cursor);
    QTest::keyClicks(body, "x");
    cursor.movePosition(QTextCursor::StartOfBlock);
    cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 3);
    body->setTextCursor(cursor);
    QTest::keyClick(body, Qt::Key_Return);
    EXPECT_EQ(std::count(script->body().begin(), script->body().end(), '\n'), 3);
    EXPECT_EQ(std::count(script->body().begin(), script->body().end(), 'x'),
              std::count(original.begin(), original.end(), 'x') + 1);
    std::string withoutTyped = script->body();
    withoutTyped.erase(withoutTyped.find('x'), 1);
    const auto typedReturn = withoutTyped.find('\n', withoutTyped.find('\n') + 1);
    withoutTyped.erase(typedReturn, 1);
    EXPECT_EQ(withoutTyped, "¡" + original);
}

}  // namespace
}  // namespace vorela
