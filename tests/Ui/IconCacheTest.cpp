#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include "Support/QtTestApp.h"
#include "Ui/IconCache.h"

namespace vorela {
namespace {

// A desktop theme of our own that has the icons a real theme has for the microphone and
// for play, drawn as a blue disc: what a themed desktop hands Qt for those names.
class ThemedDesktop {
public:
    ThemedDesktop() : searchPaths_(QIcon::themeSearchPaths()), name_(QIcon::themeName()) {
        const QString root = folder_.path() + "/VorelaTest";
        QDir().mkpath(root + "/48x48/apps");
        QFile index(root + "/index.theme");
        index.open(QIODevice::WriteOnly);
        index.write(
            "[Icon Theme]\nName=VorelaTest\nDirectories=48x48/apps\n\n"
            "[48x48/apps]\nSize=48\nType=Scalable\nMinSize=8\nMaxSize=256\n");
        index.close();
        QImage disc(48, 48, QImage::Format_ARGB32_Premultiplied);
        disc.fill(Qt::transparent);
        QPainter p(&disc);
        p.setBrush(QColor(20, 40, 230));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QRect(8, 8, 32, 32));
        p.end();
        for (const char* name : {"audio-input-microphone", "media-playback-start"})
            disc.save(root + "/48x48/apps/" + name + ".png");
        QIcon::setThemeSearchPaths({folder_.path()});
        QIcon::setThemeName("VorelaTest");
    }
    ~ThemedDesktop() {
        QIcon::setThemeName(name_);
        QIcon::setThemeSearchPaths(searchPaths_);
    }
    ThemedDesktop(const ThemedDesktop&) = delete;
    ThemedDesktop& operator=(const ThemedDesktop&) = delete;

private:
    QTemporaryDir folder_;
    QStringList searchPaths_;
    QString name_;
};

QImage image(std::string_view symbol, const QColor& tint, int side, const char* artifact) {
    const QImage drawn = IconCache::shared().pixmap(symbol, tint, side).toImage();
    const QString folder = QDir::current().absoluteFilePath("artifacts");
    QDir().mkpath(folder);
    drawn.save(folder + "/" + artifact);
    return drawn.convertToFormat(QImage::Format_ARGB32);
}

struct Coverage {
    int opaque = 0;   // pixels drawn at full strength
    int offTint = 0;  // of those, pixels in another colour than the tint
};

Coverage coverage(const QImage& image, const QColor& tint) {
    Coverage c;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor px = image.pixelColor(x, y);
            if (px.alpha() < 250) continue;
            ++c.opaque;
            const int distance = std::abs(px.red() - tint.red()) +
                                 std::abs(px.green() - tint.green()) +
                                 std::abs(px.blue() - tint.blue());
            c.offTint += distance > 12;
        }
    }
    return c;
}

// The speaking indicator showed "mic" and "mic.fill" as one picture: on a themed desktop
// both took the theme's one microphone icon in its own colours, and our glyph drew both
// alike. The two forms must differ, the filled one covering more, both in the tint.
TEST(IconCacheTest, TheMicrophoneFormsDifferAndWearTheTint) {
    testing::qtTestApp();
    const QColor green(52, 199, 89);
    for (const bool themed : {false, true}) {
        SCOPED_TRACE(themed ? "with a theme that has a microphone icon" : "without a theme");
        std::optional<ThemedDesktop> desktop;
        if (themed) desktop.emplace();
        const QImage outlined =
            image("mic", green, 32, themed ? "icon-mic-themed.png" : "icon-mic.png");
        const QImage filled =
            image("mic.fill", green, 32, themed ? "icon-mic-fill-themed.png" : "icon-mic-fill.png");
        ASSERT_FALSE(outlined.isNull());
        EXPECT_NE(outlined, filled);
        const Coverage outline = coverage(outlined, green);
        const Coverage fill = coverage(filled, green);
        EXPECT_GT(outline.opaque, 30) << "the outline is drawn";
        EXPECT_GT(fill.opaque, outline.opaque + 40) << "the filled capsule covers its inside";
        EXPECT_EQ(outline.offTint, 0);
        EXPECT_EQ(fill.offTint, 0);
        // The capsule's middle: empty in the outline, solid in the filled form.
        EXPECT_LT(outlined.pixelColor(16, 10).alpha(), 40);
        EXPECT_EQ(filled.pixelColor(16, 10), green);
    }
}

// A theme icon kept its own colours, so a view's tint (grey on a bar, white on the
// accent button) never showed where the theme had the icon.
TEST(IconCacheTest, AThemeIconKeepsItsShapeAndTakesTheTint) {
    testing::qtTestApp();
    ThemedDesktop desktop;
    const QColor red(255, 59, 48);
    const QImage play = image("play.fill", red, 48, "icon-play-themed.png");
    EXPECT_EQ(play.pixelColor(24, 24), red) << "the theme's disc, in the tint";
    EXPECT_EQ(play.pixelColor(2, 2).alpha(), 0) << "outside the disc";
    EXPECT_EQ(play.pixelColor(12, 40).alpha(), 0) << "the disc, not our triangle";
    EXPECT_EQ(coverage(play, red).offTint, 0);
}

TEST(IconCacheTest, EachSymbolTintAndSizeIsDrawnOnce) {
    testing::qtTestApp();
    IconCache& cache = IconCache::shared();
    const QColor grey(128, 128, 128);
    const QPixmap first = cache.pixmap("eye", grey, 20);
    const auto renders = cache.renderCount();
    EXPECT_EQ(cache.pixmap("eye", grey, 20).cacheKey(), first.cacheKey());
    EXPECT_EQ(cache.renderCount(), renders);

    struct Case {
        const char* name;
        const char* symbol;
        QColor tint;
        int side;
    } others[] = {
        {"another symbol", "eye.slash", grey, 20},
        {"another tint", "eye", QColor(129, 128, 128), 20},
        {"another alpha", "eye", QColor(128, 128, 128, 200), 20},
        {"another size", "eye", grey, 21},
    };
    for (const Case& c : others) {
        SCOPED_TRACE(c.name);
        const auto before = cache.renderCount();
        EXPECT_NE(cache.pixmap(c.symbol, c.tint, c.side).cacheKey(), first.cacheKey());
        EXPECT_EQ(cache.renderCount(), before + 1);
    }

    const QIcon icon = cache.icon("trash", grey);
    const auto afterIcon = cache.renderCount();
    EXPECT_EQ(cache.icon("trash", grey).cacheKey(), icon.cacheKey());
    EXPECT_EQ(cache.renderCount(), afterIcon);
    EXPECT_TRUE(cache.pixmap("no.such.symbol", grey, 16).isNull());
    EXPECT_TRUE(cache.icon("no.such.symbol", grey).isNull());
    EXPECT_EQ(cache.renderCount(), afterIcon);

    // A theme chosen later draws anew rather than answering the glyph of before.
    {
        ThemedDesktop desktop;
        const auto beforeTheme = cache.renderCount();
        const QImage themed = cache.pixmap("play.fill", grey, 48).toImage();
        EXPECT_EQ(cache.renderCount(), beforeTheme + 1);
        EXPECT_EQ(themed.pixelColor(12, 40).alpha(), 0) << "the theme's disc";
    }
}

}  // namespace
}  // namespace vorela
