#include <gtest/gtest.h>

#include <QDir>
#include <QImage>

#include "Support/QtTestApp.h"
#include "Ui/LevelMeter.h"
#include "Ui/Style.h"
#include "Ui/ViewKit.h"
#include "Voice/VoiceProfile.h"

namespace vorela {
namespace {

QImage render(LevelMeter& meter, const char* name) {
    QImage image(meter.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    meter.render(&image);
    const QString folder = QDir::current().absoluteFilePath("artifacts");
    QDir().mkpath(folder);
    image.save(folder + "/" + name);
    return image;
}

bool isGreenish(QColor c) { return c.green() > 150 && c.red() < 150 && c.blue() < 150; }

TEST(LevelMeterTest, ThresholdFollowsTheProfile) {
    struct Case {
        const char* name;
        double noiseFloor, sensitivity, expected;
    } cases[] = {
        {"default profile", -50, 50, 22.0 / 60},
        {"sensitivity 0", -50, 0, 0.5},
        {"sensitivity below 0", -50, -5, 0.5},
        {"sensitivity 100", -50, 100, 14.0 / 60},
        {"sensitivity above 100", -50, 150, 14.0 / 60},
        {"quiet room clamps to 0", -70, 100, 0},
        {"loud room clamps to 1", -10, 0, 1},
        {"noise floor not a number", std::nan(""), 50, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        VoiceProfile profile;
        profile.noiseFloor = c.noiseFloor;
        profile.sensitivity = c.sensitivity;
        EXPECT_NEAR(profile.speechThresholdLevel(), c.expected, 1e-9);
    }
}

TEST(LevelMeterTest, DrawsFillAndMarkerWhereTheInputsSay) {
    testing::qtTestApp();
    LevelMeter meter;
    meter.resize(200, 10);

    meter.setInputs(0.5, 0.25, true);
    QImage image = render(meter, "level-meter-speaking.png");
    EXPECT_TRUE(isGreenish(image.pixelColor(60, 5))) << "fill while speaking";
    EXPECT_FALSE(isGreenish(image.pixelColor(150, 5))) << "beyond the fill";
    EXPECT_EQ(image.pixelColor(50, 5), Style::accent()) << "marker at 0.25 of 200";
    EXPECT_EQ(meter.accessibleDescription(), "hablando");

    meter.setInputs(0.5, 0.25, false);
    image = render(meter, "level-meter-silent.png");
    EXPECT_FALSE(isGreenish(image.pixelColor(60, 5)));
    EXPECT_EQ(meter.fillWidth(), 100) << "speaking changes colour, not width";
    EXPECT_EQ(meter.accessibleDescription(), "en silencio");

    meter.setInputs(0, 0, false);
    EXPECT_EQ(meter.fillWidth(), 0);
    EXPECT_EQ(meter.markerX(), 0);
    image = render(meter, "level-meter-empty.png");
    EXPECT_EQ(image.pixelColor(0, 5), Style::accent()) << "marker at the leading edge";

    meter.setInputs(1, 1, true);
    EXPECT_EQ(meter.fillWidth(), 200);
    EXPECT_EQ(meter.markerX(), 200) << "the marker stands beyond the track at threshold 1";
    image = render(meter, "level-meter-full.png");
    EXPECT_TRUE(isGreenish(image.pixelColor(195, 5)));
}

}  // namespace
}  // namespace vorela
