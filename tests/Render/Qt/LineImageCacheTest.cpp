#include <gtest/gtest.h>

#include <QPainter>

#include "Render/Qt/LineImageCache.h"
#include "Render/Qt/QtTextLayoutEngine.h"
#include "Render/ThemeFont.h"
#include "Support/QtTestApp.h"

namespace vorela {
namespace {

// Lines rasterised once and blended must look as the glyphs drawn straight do.
class LineImageCacheTest : public ::testing::Test {
protected:
    LineImageCacheTest() { testing::qtTestApp(); }

    std::unique_ptr<QtTextLayout> layOut(const std::string& text) {
        auto layout =
            engine_.layout(text, 560, {font(ThemeFont::sans, 28, FontWeight::regular), 8});
        return std::unique_ptr<QtTextLayout>(static_cast<QtTextLayout*>(layout.release()));
    }

    static QImage blank() {
        QImage image(600, 200, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        return image;
    }

    static int worstDifference(const QImage& a, const QImage& b) {
        int worst = 0;
        for (int y = 0; y < a.height(); ++y) {
            for (int x = 0; x < a.width(); ++x) {
                const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
                worst = std::max({worst, std::abs(qAlpha(p) - qAlpha(q)),
                                  std::abs(qRed(p) - qRed(q)), std::abs(qBlue(p) - qBlue(q))});
            }
        }
        return worst;
    }

    QtTextLayoutEngine engine_;
    LineImageCache cache_;
};

TEST_F(LineImageCacheTest, CachedLinesMatchTheGlyphsDrawnStraight) {
    // Accented capitals reach above the line's advance box and descenders below it, and
    // the second line starts at a fractional height: nothing may be cut or shifted.
    const auto layout = layOut("ÁÉÍÓÚ Ñandú ÇǺ gjpqy\nÂÊ ágil; jugó ¿qué?");
    ASSERT_EQ(layout->lines().size(), 2u);
    const QColor cream(240, 230, 200);
    QImage straight = blank();
    {
        QPainter p(&straight);
        p.setPen(cream);
        layout->drawLines(p, 0, 2, QPointF(20, 30));
    }
    cache_.beginFrame({1, cream.rgba(), 1, false, false}, 0, 2);
    QImage cached = blank();
    {
        QPainter p(&cached);
        for (std::size_t i = 0; i < 2; ++i) {
            const auto& line = cache_.line(*layout, i);
            ASSERT_FALSE(line.image.isNull());
            p.drawImage(line.topLeft + QPointF(20, 30), line.image);
        }
    }
    EXPECT_LE(worstDifference(straight, cached), 1);
}

TEST_F(LineImageCacheTest, KeepsOnlyTheFramesLinesAndRedrawsForANewStyle) {
    const auto layout = layOut("uno\ndos\ntres\ncuatro");
    const LineImageCache::Style white{1, qRgb(255, 255, 255), 1, false, false};
    cache_.beginFrame(white, 0, 4);
    for (std::size_t i = 0; i < 4; ++i) cache_.line(*layout, i);
    cache_.beginFrame(white, 1, 3);
    EXPECT_EQ(cache_.size(), 2u) << "lines scrolled out of view are let go";

    const auto inkColour = [](const QImage& image) {
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (qAlpha(image.pixel(x, y)) == 255) return QColor(image.pixel(x, y));
            }
        }
        return QColor();
    };
    const QImage before = cache_.line(*layout, 1).image;
    EXPECT_EQ(inkColour(before), QColor(Qt::white));
    cache_.beginFrame({1, qRgb(255, 0, 0), 1, false, false}, 1, 3);
    EXPECT_EQ(cache_.size(), 0u);
    const QImage red = cache_.line(*layout, 1).image;
    EXPECT_EQ(inkColour(red), QColor(Qt::red));
    cache_.beginFrame({1, qRgb(255, 0, 0), 1, true, false}, 1, 3);
    EXPECT_EQ(cache_.line(*layout, 1).image,
              red.mirrored(true, false).convertToFormat(QImage::Format_ARGB32_Premultiplied))
        << "flipped left to right, same ink";
}

}  // namespace
}  // namespace vorela
