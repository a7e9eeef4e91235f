#include <gtest/gtest.h>

#include <QLabel>
#include <QToolButton>

#include "Support/QtTestApp.h"
#include "Support/StyleEventCounter.h"
#include "Ui/IconCache.h"
#include "Ui/StatusDot.h"
#include "Window/Qt/ControlBar.h"

namespace vorela {
namespace {

ControlBar::Model listening(const std::string& remaining) {
    ControlBar::Model model;
    model.isPlaying = true;
    model.wordsPerMinute = 150;
    model.usesMicrophone = true;
    model.micLevel = 0.4;
    model.dotColor = {0.2, 0.78, 0.35, 1};
    model.statusText = "Siguiendo tu voz";
    model.remainingTime = remaining;
    return model;
}

// The panel's bar re-applied the status dot's style sheet and tooltip with every word it
// was handed; a word changes the remaining time only, so nothing else may be re-styled.
TEST(ControlBarTest, AWordUpdateChangesOnlyWhatItShows) {
    testing::qtTestApp();
    ControlBar bar([] {});
    bar.refresh(listening("2:10"));
    auto* play = bar.findChild<QToolButton*>("playPauseButton");
    auto* dot = bar.findChild<StatusDot*>("statusDot");
    ASSERT_TRUE(play && dot);
    const qint64 playKey = play->icon().cacheKey();
    const auto renders = IconCache::shared().renderCount();
    testing::StyleEventCounter counter(bar);

    bar.refresh(listening("2:09"));
    bar.refresh(listening("2:08"));
    EXPECT_EQ(bar.findChild<QLabel*>("remainingTimeLabel")->text(), "2:08");
    EXPECT_EQ(counter.styleChanges, 0);
    EXPECT_EQ(counter.toolTipChanges, 0);
    EXPECT_EQ(play->icon().cacheKey(), playKey);
    EXPECT_EQ(IconCache::shared().renderCount(), renders);

    ControlBar::Model lost = listening("2:08");
    lost.dotColor = {1, 0.23, 0.19, 1};
    lost.statusText = "Buscando dónde vas…";
    lost.isPlaying = false;
    bar.refresh(lost);
    EXPECT_EQ(dot->color(), QColor::fromRgbF(1, 0.23f, 0.19f));
    EXPECT_EQ(dot->toolTip(), "Buscando dónde vas…");
    EXPECT_NE(play->icon().cacheKey(), playKey);
    EXPECT_EQ(play->toolTip(), "Reproducir");
}

}  // namespace
}  // namespace vorela
