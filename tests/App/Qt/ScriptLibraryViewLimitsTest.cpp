#include <gtest/gtest.h>

#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <fstream>

#include "App/Qt/ScriptLibraryView.h"
#include "App/ScriptLibraryViewModel.h"
#include "Support/LibraryWindowFixture.h"

namespace vorela {
namespace {

namespace fs = std::filesystem;

// The library view over a library it cannot open, or with a script it must not open.
class ScriptLibraryViewLimitsTest : public testing::LibraryWindowTest {
protected:
    void TearDown() override {
        view_.reset();
        model_.reset();
    }
    ScriptLibraryView& makeView(ScriptLibrary& library) {
        model_ = std::make_unique<ScriptLibraryViewModel>(*state_, library, pasteboard_);
        view_ = std::make_unique<ScriptLibraryView>(*model_);
        view_->resize(900, 520);
        view_->show();
        return *view_;
    }
    template <class T>
    T* child(const char* name) {
        T* found = view_->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    // How far the widget's pixels stray from its first pixel, at most.
    static int contrast(QWidget& widget) {
        const QImage image = widget.grab().toImage();
        const QColor base = image.pixelColor(0, 0);
        int most = 0;
        for (int y = 0; y < image.height(); y += 2) {
            for (int x = 0; x < image.width(); x += 2) {
                const QColor c = image.pixelColor(x, y);
                most = std::max(most, std::abs(c.lightness() - base.lightness()));
            }
        }
        return most;
    }

    std::unique_ptr<ScriptLibraryViewModel> model_;
    std::unique_ptr<ScriptLibraryView> view_;
};

TEST_F(ScriptLibraryViewLimitsTest, ALibraryThatCannotOpenSaysSoAndCreatesNothing) {
    // A damaged library file looked like an empty library: "+" and import did nothing and
    // the reason reached only the log. The window says it, and offers nothing that fails.
    makeAttachedState(40);
    const fs::path damaged = folder_ / "dañada.sqlite";
    const std::string bytes(8192, '\x5a');
    std::ofstream(damaged, std::ios::binary) << bytes;
    ScriptLibrary library(damaged, loop_.clock());
    makeView(library);

    auto* label = child<QLabel>("libraryErrorLabel");
    ASSERT_TRUE(label->isVisible());
    EXPECT_TRUE(label->text().startsWith(
        "No se pudo abrir la biblioteca de guiones. El archivo de la biblioteca está dañado"));
    EXPECT_TRUE(label->text().contains(QString::fromStdString(damaged.string())));
    for (const char* name : {"newButton", "pasteButton", "importButton"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(child<QToolButton>(name)->isEnabled());
    }

    QMimeData drop;
    drop.setUrls(
        {QUrl::fromLocalFile(QString(std::getenv("VORELA_TEST_DATA")) + "/script/guion.md")});
    ASSERT_TRUE(view_->handleDrop(&drop));
    QCoreApplication::processEvents();
    auto* alert = view_->findChild<QMessageBox*>("importAlert");
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->text(),
              "No se puede importar porque la biblioteca de guiones no se pudo abrir.");
    alert->buttons().front()->click();
    QCoreApplication::processEvents();

    std::ifstream kept(damaged, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), bytes) << "never written";
    const QImage shot = screenshot(*view_, "library-view-cannot-open.png");
    const QColor warning = label->grab().toImage().pixelColor(2, 2);
    EXPECT_GT(warning.red() - warning.green(), 8) << "the notice stands out in red";
    EXPECT_FALSE(shot.isNull());
}

TEST_F(ScriptLibraryViewLimitsTest, AScriptTooLargeToOpenIsShownByTitleOnly) {
    // A stored 268 MB script was put into the text editor and counted at every start, which
    // ended in bad_alloc; over the limit the editor explains instead and cannot load it.
    makeAttachedState(40);
    emptyLibrary();
    const auto huge = add("Enorme", std::string(Script::kMaxBodySize + 1, 'a'));
    makeView(*library_);
    model_->select(huge);

    auto* body = child<QPlainTextEdit>("bodyEditor");
    EXPECT_TRUE(body->isReadOnly());
    EXPECT_EQ(body->toPlainText(), "");
    EXPECT_TRUE(body->placeholderText().startsWith("Este guion ocupa más de 50 MB"));
    EXPECT_FALSE(child<QPushButton>("loadButton")->isEnabled());
    EXPECT_FALSE(child<QLabel>("wordCountLabel")->isVisible());
    EXPECT_FALSE(child<QToolButton>("duplicateButton")->isEnabled());
    EXPECT_TRUE(child<QToolButton>("deleteButton")->isEnabled());
    screenshot(*view_, "library-view-script-too-large.png");
    EXPECT_GT(contrast(*body), 40) << "the explanation is drawn in the editor";
}

}  // namespace
}  // namespace vorela
