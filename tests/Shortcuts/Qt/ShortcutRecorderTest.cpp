#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QInputDevice>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QVBoxLayout>
#include <memory>

#include "../ShortcutsEnvironment.h"
#include "Shortcuts/Qt/ActionShortcutBinding.h"
#include "Shortcuts/Qt/ConflictPolicyScope.h"
#include "Shortcuts/Qt/QtMainMenu.h"
#include "Shortcuts/Qt/RecorderRow.h"
#include "Shortcuts/Qt/ShortcutRecorder.h"
#include "Support/QtTestApp.h"

namespace vorela::Shortcuts {
namespace {

QString artifact(const QString& name) {
    const QString folder = QDir::current().absoluteFilePath("artifacts");
    QDir().mkpath(folder);
    return folder + "/" + name;
}

// Pixels of the region that differ clearly from the field's own background.
int inkIn(const QImage& image, const QRect& region) {
    const QColor background = image.pixelColor(region.left() + 1, region.center().y());
    int ink = 0;
    for (int y = region.top(); y <= region.bottom(); ++y) {
        for (int x = region.left(); x <= region.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.lightness() - background.lightness()) > 60) ++ink;
        }
    }
    return ink;
}

class ShortcutRecorderTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::qtTestApp();
        window_ = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window_.get());
        row_ = new RecorderRow(
            *env_.context, std::string("Reproducir o pausar"), play_,
            [this](auto s) { changes_.push_back(s); }, window_.get());
        other_ = new QLabel("otro", window_.get());
        next_ = new QLineEdit(window_.get());
        next_->setObjectName("next");
        layout->addWidget(row_);
        layout->addWidget(other_);
        layout->addWidget(next_);
        row_->recorder().setAlertPresenter([this](const RecorderAlert& alert, QWidget* parent) {
            alerts_.push_back(alert);
            if (onAlert_) onAlert_(alert, parent);
            return answer_;
        });
        window_->resize(360, 140);
        window_->show();
        window_->activateWindow();
        QApplication::processEvents();
    }

    void TearDown() override {
        window_.reset();
        // The input devices QTest makes on first use would otherwise go with the application
        // at exit, after the device registry it unregisters from (a crash in Qt 6.4).
        qDeleteAll(qApp->findChildren<QInputDevice*>(Qt::FindDirectChildrenOnly));
    }

    ShortcutRecorder& recorder() { return row_->recorder(); }
    void click() { QTest::mouseClick(&recorder(), Qt::LeftButton, {}, recorder().rect().center()); }

    ShortcutsEnvironment env_;
    Name play_ = Name::declare("togglePlay", kOptionSpace);
    std::unique_ptr<QWidget> window_;
    RecorderRow* row_ = nullptr;
    QLabel* other_ = nullptr;
    QLineEdit* next_ = nullptr;
    std::vector<std::optional<Shortcut>> changes_;
    std::vector<RecorderAlert> alerts_;
    std::function<void(const RecorderAlert&, QWidget*)> onAlert_;
    int answer_ = kFirstButtonResponse;
};

TEST_F(ShortcutRecorderTest, OpeningShowsTheStoredKeysAndAClickRecordsTheNextPress) {
    EXPECT_EQ(window_->findChild<QLabel*>("label")->text(), "Reproducir o pausar");
    EXPECT_EQ(recorder().text(), "Alt+Espacio");
    EXPECT_FALSE(recorder().testAttribute(Qt::WA_InputMethodEnabled));
    // The window's first control got the focus when it opened: no recording by itself.
    EXPECT_FALSE(recorder().controller().isRecording());
    const QImage idle = window_->grab().toImage();
    idle.save(artifact("recorder-idle.png"));
    const QRect field = recorder().geometry();
    const QRect clearArea(field.right() - 22, field.top() + 4, 18, field.height() - 8);
    EXPECT_GT(inkIn(idle, field.adjusted(30, 4, -30, -4)), 20);  // the keys are drawn

    click();
    ASSERT_TRUE(recorder().controller().isRecording());
    EXPECT_TRUE(isPaused());
    EXPECT_EQ(recorder().placeholderText(), "Pulsá el atajo");
    QTest::keyClick(&recorder(), Qt::Key_Delete);  // clears, keeps recording
    EXPECT_FALSE(recorder().findChild<QAction*>("cancelButton")->isVisible());
    const QImage recording = window_->grab().toImage();
    recording.save(artifact("recorder-recording.png"));
    EXPECT_GT(inkIn(idle, clearArea), inkIn(recording, clearArea));  // no clear button

    QTest::keyClick(&recorder(), Qt::Key_R, Qt::AltModifier);
    EXPECT_EQ(getShortcut(play_), kOptionR);
    EXPECT_EQ(recorder().text(), "Alt+R");
    EXPECT_FALSE(recorder().controller().isRecording());
    EXPECT_FALSE(isPaused());
    EXPECT_EQ(changes_, (std::vector<std::optional<Shortcut>>{std::nullopt, kOptionR}));
}

TEST_F(ShortcutRecorderTest, KeysReachingTheFieldFollowTheDecisionList) {
    struct Case {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        std::optional<Shortcut> stored;
        bool recording;
        QWidget* focus;
    };
    const Case cases[] = {
        {"A alone", Qt::Key_A, {}, kOptionSpace, true, nullptr},
        {"Shift-A", Qt::Key_A, Qt::ShiftModifier, kOptionSpace, true, nullptr},
        {"Alt alone waits for a key", Qt::Key_Alt, Qt::AltModifier, kOptionSpace, true, nullptr},
        {"F5", Qt::Key_F5, {}, Shortcut(Key::f5, ModifierFlags{}), false, nullptr},
        {"Escape", Qt::Key_Escape, {}, kOptionSpace, false, nullptr},
        {"Tab moves on", Qt::Key_Tab, {}, kOptionSpace, false, next_},
        {"Backspace clears", Qt::Key_Backspace, {}, std::nullopt, true, nullptr},
        {"Ctrl-Escape", Qt::Key_Escape, Qt::ControlModifier,
         Shortcut(Key::escape, ModifierFlags::control), false, nullptr},
        {"Super-Shift-K", Qt::Key_K, Qt::MetaModifier | Qt::ShiftModifier,
         Shortcut(Key::k, ModifierFlags::command | ModifierFlags::shift), false, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        setShortcut(kOptionSpace, play_);
        click();
        ASSERT_TRUE(recorder().controller().isRecording());
        QTest::keyClick(&recorder(), c.key, c.modifiers);
        EXPECT_EQ(getShortcut(play_), c.stored);
        EXPECT_EQ(recorder().controller().isRecording(), c.recording);
        if (c.focus) {
            EXPECT_EQ(QApplication::focusWidget(), c.focus);
        }
        EXPECT_EQ(isPaused(), c.recording);
        other_->setFocus();
    }
}

TEST_F(ShortcutRecorderTest, TheWindowsOwnShortcutsWaitWhileRecordingAndClicksNearbyAreSwallowed) {
    QAction save("Guardar");
    save.setShortcut(QKeySequence(Qt::ALT | Qt::Key_G));
    window_->addAction(&save);
    int saves = 0;
    QObject::connect(&save, &QAction::triggered, [&] { ++saves; });
    click();
    QTest::keyClick(&recorder(), Qt::Key_G, Qt::AltModifier);
    EXPECT_EQ(saves, 0);
    EXPECT_EQ(getShortcut(play_), Shortcut(Key::g, ModifierFlags::option));

    click();
    const QPoint justOutside(recorder().width() + 2, recorder().height() / 2);
    QTest::mouseClick(&recorder(), Qt::LeftButton, {}, justOutside);
    EXPECT_TRUE(recorder().controller().isRecording());
    const QPoint farAway = other_->mapTo(window_.get(), other_->rect().center());
    QTest::mouseClick(window_.get(), Qt::LeftButton, {}, farAway);
    EXPECT_FALSE(recorder().controller().isRecording());
    EXPECT_FALSE(isPaused());
}

TEST_F(ShortcutRecorderTest, AKeyOfOurOwnMenusIsBlockedWithAnAlertUnlessTheScreenAllowsIt) {
    QMenu menu;
    QAction* saveItem = menu.addAction("&Guardar");
    saveItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    auto mainMenu = std::make_shared<QtMainMenu>();
    mainMenu->addMenu(menu);
    env_.context->setMainMenu(mainMenu);
    onAlert_ = [](const RecorderAlert& alert, QWidget* parent) {
        const auto box = ShortcutRecorder::makeAlertBox(alert, parent);
        box->show();
        QApplication::processEvents();
        const QImage shot = box->grab().toImage();
        shot.save(artifact("recorder-conflict-alert.png"));
        EXPECT_GT(inkIn(shot, shot.rect().adjusted(8, 8, -8, -8)), 200);
        box->close();
        // The window manager hands the activation back when the alert goes.
        parent->activateWindow();
    };
    click();
    QTest::keyClick(&recorder(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(alerts_.size(), 1u);
    EXPECT_EQ(alerts_[0].title, "Este atajo ya lo usa el elemento de menú «Guardar».");
    EXPECT_EQ(getShortcut(play_), kOptionSpace);
    QApplication::processEvents();
    EXPECT_TRUE(recorder().controller().isRecording());  // the focus came back

    onAlert_ = {};
    other_->setFocus();
    setShortcutsConflictPolicy(*window_, ConflictPolicy::allowAll());
    click();
    QTest::keyClick(&recorder(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(alerts_.size(), 1u);
    EXPECT_EQ(getShortcut(play_), Shortcut(Key::s, ModifierFlags::control));
}

TEST_F(ShortcutRecorderTest, AValueStoredElsewhereUpdatesTheRecorderAndABoundAction) {
    QAction action("Reproducir");
    setShortcut(*env_.context, action, std::optional<Name>(play_));
    EXPECT_EQ(action.shortcut(), QKeySequence(Qt::ALT | Qt::Key_Space));
    setShortcut(kOptionP, play_);
    EXPECT_EQ(recorder().text(), "Alt+P");
    EXPECT_EQ(action.shortcut(), QKeySequence(Qt::ALT | Qt::Key_P));
    EXPECT_TRUE(changes_.empty());
}

TEST_F(ShortcutRecorderTest, ABindingRowShowsOutsideChangesWithoutCallingBack) {
    std::optional<Shortcut> value = kOptionR;
    std::vector<std::optional<Shortcut>> rowChanges;
    RecorderRow row(
        *env_.context, std::nullopt,
        ShortcutBinding{[&] { return value; }, [&](auto s) { value = s; }},
        [&](auto s) { rowChanges.push_back(s); }, window_.get());
    EXPECT_EQ(row.label(), nullptr);
    EXPECT_EQ(row.recorder().text(), "Alt+R");
    value = kOptionP;
    row.refresh();
    EXPECT_EQ(row.recorder().text(), "Alt+P");
    EXPECT_TRUE(rowChanges.empty());
    row.setOnChange([&](auto s) { rowChanges.push_back(s); });
    row.recorder().controller().clear();
    EXPECT_EQ(value, std::nullopt);
    EXPECT_EQ(rowChanges, (std::vector<std::optional<Shortcut>>{std::nullopt}));
}

TEST_F(ShortcutRecorderTest, KeysAnotherProgramHoldsShowAsTakenUntilFreeOnesAreRecorded) {
    env_.registrar.holdByAnotherProgram(static_cast<std::uint32_t>(Key::space.rawValue), 0x800);
    onKeyDown(play_, [] {});  // the grab is refused
    RecorderRow row(*env_.context, std::string("Reproducir o pausar"), play_, {}, window_.get());
    row.resize(360, row.sizeHint().height());
    row.show();
    QLabel* note = row.takenNote();
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(row.recorder().text(), "Alt+Espacio");
    EXPECT_TRUE(note->isVisible());
    EXPECT_EQ(note->text(), "Este atajo ya lo usa el escritorio u otra aplicación.");
    EXPECT_EQ(row.recorder().toolTip(), note->text());
    const QImage taken = row.grab().toImage();
    taken.save(artifact("recorder-taken-by-system.png"));
    EXPECT_GT(inkIn(taken, note->geometry()), 20);

    QTest::mouseClick(&row.recorder(), Qt::LeftButton, {}, row.recorder().rect().center());
    QTest::keyClick(&row.recorder(), Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(getShortcut(play_), Shortcut(Key::s, ModifierFlags::option));
    EXPECT_FALSE(note->isVisible());
    EXPECT_TRUE(row.recorder().toolTip().isEmpty());

    // Forced back onto the held keys after the warning: taken again.
    answer_ = kSecondButtonResponse;
    row.recorder().setAlertPresenter([this](const RecorderAlert& alert, QWidget*) {
        alerts_.push_back(alert);
        return answer_;
    });
    QTest::mouseClick(&row.recorder(), Qt::LeftButton, {}, row.recorder().rect().center());
    QTest::keyClick(&row.recorder(), Qt::Key_Space, Qt::AltModifier);
    ASSERT_EQ(alerts_.size(), 1u);
    EXPECT_EQ(alerts_[0].title, note->text().toStdString());
    EXPECT_EQ(getShortcut(play_), kOptionSpace);
    EXPECT_TRUE(note->isVisible());
}

}  // namespace
}  // namespace vorela::Shortcuts
