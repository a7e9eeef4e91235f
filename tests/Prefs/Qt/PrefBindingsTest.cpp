#include <gtest/gtest.h>

#include <QDir>
#include <QSlider>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <filesystem>
#include <fstream>

#include "Platform/Defaults/DefaultsSuite.h"
#include "Platform/Defaults/SuiteFileWatcher.h"
#include "Platform/Loop/Fake/ManualRunLoop.h"
#include "Prefs/Prefs.h"
#include "Prefs/Qt/PrefBindings.h"
#include "Prefs/Qt/PrefsToggle.h"
#include "Support/QtTestApp.h"

namespace vorela::Prefs {
namespace {

class PrefBindingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        vorela::testing::qtTestApp();
        folder_ = std::filesystem::temp_directory_path() /
                  ("vorela-bindings-" + std::to_string(::getpid()));
        std::filesystem::remove_all(folder_);
        path_ = (folder_ / "app.vorela.Vorela.plist").string();
        suite_ = std::make_shared<DefaultsSuite>(path_);
    }
    // The suite writes on a queue of its own: wait for it before the folder goes.
    void TearDown() override {
        suite_->flush();
        std::filesystem::remove_all(folder_);
    }

    int writesDuring(const std::function<void()>& action) {
        int writes = 0;
        auto counting = suite_->observe([&](const auto&, const auto&, const auto&) { ++writes; });
        action();
        loop_.runUntilIdle();
        return writes;
    }

    void saveScreenshot(QWidget& widget, const char* name) {
        const QString folder = QDir::current().absoluteFilePath("artifacts");
        QDir().mkpath(folder);
        widget.grab().save(folder + "/" + name);
    }

    ManualRunLoop loop_;
    std::filesystem::path folder_;
    std::string path_;
    std::shared_ptr<UserDefaults> suite_;
};

TEST_F(PrefBindingsTest, AnInvertedToggleShowsAndWritesTheNegation) {
    const Key<bool> passThrough("passThrough", false, suite_);
    set(passThrough, true);
    PrefsToggle toggle(loop_, passThrough, QStringLiteral("Dejar pasar el puntero"), true);
    toggle.setObjectName("passThroughToggle");
    std::vector<bool> shown;
    toggle.onChange([&](bool on) { shown.push_back(on); });
    EXPECT_FALSE(toggle.isChecked());
    toggle.resize(240, 40);

    EXPECT_EQ(writesDuring([&] { QTest::mouseClick(&toggle, Qt::LeftButton); }), 1)
        << "one click, one write: the refresh it causes writes nothing";
    EXPECT_FALSE(get(passThrough));
    EXPECT_TRUE(toggle.isChecked());
    EXPECT_EQ(shown, std::vector<bool>{true}) << "the callback gets what the switch shows";

    set(passThrough, true);  // another window
    loop_.runUntilIdle();
    EXPECT_FALSE(toggle.isChecked());
    saveScreenshot(toggle, "prefs-toggle-inverted.png");
}

TEST_F(PrefBindingsTest, ASliderFollowsOtherWritersAndWritesBackOnce) {
    const Key<double> wpm("wpm", 140.0, suite_);
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setObjectName("speedSlider");
    slider->setRange(60, 260);
    layout->addWidget(slider);
    bindSlider(slider, loop_, wpm);
    auto* found = window.findChild<QSlider*>("speedSlider");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->value(), 140);

    set(wpm, 180.0);
    loop_.runUntilIdle();
    EXPECT_EQ(found->value(), 180);

    EXPECT_EQ(writesDuring([&] { found->triggerAction(QAbstractSlider::SliderSingleStepAdd); }), 1);
    EXPECT_EQ(get(wpm), 181.0);

    EXPECT_EQ(writesDuring([&] { set(wpm, 400.0); }), 1) << "only the writer's own write";
    EXPECT_EQ(found->value(), 260) << "shown at the end of the range";
    EXPECT_EQ(get(wpm), 400.0) << "never rewritten by the slider's clamp";
    window.resize(320, 60);
    window.show();
    saveScreenshot(window, "prefs-slider-out-of-range.png");
    const QImage image = window.grab().toImage();
    EXPECT_FALSE(image.isNull());
}

TEST_F(PrefBindingsTest, AControlFollowsAnotherProcessWritingTheSuiteFile) {
    const Key<bool> dim("dimPassedText", true, suite_);
    PrefsToggle toggle(loop_, dim, QStringLiteral("Atenuar el texto leído"));
    toggle.setObjectName("dimPassedTextToggle");
    SuiteFileWatcher watcher(loop_, suite_);
    EXPECT_TRUE(toggle.isChecked());
    {
        // Another process: its own suite object on the same file.
        DefaultsSuite other(path_);
        other.set("dimPassedText", PropertyList(false));
    }
    loop_.advanceBy(SuiteFileWatcher::kDefaultIntervalSeconds);
    loop_.runUntilIdle();
    EXPECT_FALSE(toggle.isChecked());
    EXPECT_FALSE(get(dim));

    // Our own pending write wins over an older file.
    set(dim, true);
    EXPECT_FALSE(watcher.check());
    suite_->flush();
    loop_.advanceBy(SuiteFileWatcher::kDefaultIntervalSeconds);
    loop_.runUntilIdle();
    EXPECT_TRUE(get(dim));
    EXPECT_TRUE(toggle.isChecked());
}

TEST_F(PrefBindingsTest, AnUnreadableFileFromElsewhereKeepsWhatTheSuiteHolds) {
    const Key<int> size("themeFontSize", 28, suite_);
    set(size, 40);
    suite_->flush();
    SuiteFileWatcher watcher(loop_, suite_);
    {
        std::ofstream(path_ + ".tmp") << "<plist><dict><key>half";
        std::filesystem::rename(path_ + ".tmp", path_);
    }
    EXPECT_FALSE(watcher.check());
    EXPECT_EQ(get(size), 40);
    EXPECT_TRUE(std::filesystem::exists(path_)) << "left where it is, not moved aside";
}

}  // namespace
}  // namespace vorela::Prefs
