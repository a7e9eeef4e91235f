#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QPainter>

#include "Platform/Time/Fake/ManualClock.h"
#include "Render/MirrorMode.h"
#include "Render/Qt/PrompterTextWidget.h"
#include "Script/Tokenizer.h"
#include "Support/QtTestApp.h"

namespace vorela {
namespace {

// Renders a real script with Qt's text engine on the offscreen platform and checks the
// drawing by its pixels.
class PrompterTextWidgetTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string text;
        for (int i = 0; i < 60; ++i) text += "palabra ";
        auto tokens = std::make_shared<std::vector<Token>>(
            Tokenizer(Tokenizer::Language::spanish, "es_ES").tokenize(text));
        widget_.view().setContent(text, tokens);
        widget_.resize(600, 240);
        widget_.view().setViewSize({600, 240});
    }

    // Mean brightness (0-255) of a region composited over black, as the panel shows it.
    static double brightness(const QImage& image, const QRect& region) {
        double sum = 0;
        int n = 0;
        for (int y = region.top(); y <= region.bottom(); ++y) {
            for (int x = region.left(); x <= region.right(); ++x) {
                const QColor c = QColor::fromRgba(image.pixel(x, y));  // premultiplied over black
                sum += (c.red() + c.green() + c.blue()) / 3.0 * c.alphaF();
                ++n;
            }
        }
        return n ? sum / n : 0;
    }
    static double orangeExcess(const QImage& image, const QRect& region) {
        double sum = 0;
        int n = 0;
        for (int y = region.top(); y <= region.bottom(); ++y) {
            for (int x = region.left(); x <= region.right(); ++x) {
                const QColor c = QColor::fromRgba(image.pixel(x, y));
                sum += (c.red() - c.blue()) * c.alphaF();
                ++n;
            }
        }
        return n ? sum / n : 0;
    }
    QRect viewRect(const Rect& content) const {
        const Point o = widget_.view().contentOrigin();
        return QRect(static_cast<int>(content.x + o.x), static_cast<int>(content.y + o.y),
                     static_cast<int>(content.width), static_cast<int>(content.height));
    }

    struct App {
        App() { testing::qtTestApp(); }
    } app_;  // first: widgets need the application
    ManualClock clock_;
    PrompterTextWidget widget_{clock_, Theme{}};
};

TEST_F(PrompterTextWidgetTest, HighlightSitsOnTheCurrentWord) {
    auto& view = widget_.view();
    // Put the second line on the reading line and highlight its second word.
    const long line2 = view.lineStarts().at(1).tokenIndex;
    view.setScrollY(*view.scrollOffsetForToken(line2));
    view.setCurrentTokenIndex(line2 + 1);
    const QImage frame = widget_.renderFrame();
    const QRect current = viewRect(*view.tokenRect(line2 + 1));
    const QRect neighbour = viewRect(*view.tokenRect(line2 + 2));
    EXPECT_GT(orangeExcess(frame, current), orangeExcess(frame, neighbour) + 10);
}

TEST_F(PrompterTextWidgetTest, TextAboveTheReadingLineIsDimmedAndTheEdgesFade) {
    auto& view = widget_.view();
    const long line3 = view.lineStarts().at(3).tokenIndex;
    view.setScrollY(*view.scrollOffsetForToken(line3));
    Theme noHighlight;
    noHighlight.highlightCurrentWord = false;
    view.setTheme(noHighlight);
    const QImage frame = widget_.renderFrame();

    const QRect onLine = viewRect(*view.tokenRect(line3));
    // Two lines up, where the upward fade is well under way.
    const QRect above = viewRect(*view.tokenRect(view.lineStarts().at(1).tokenIndex));
    EXPECT_GT(brightness(frame, onLine), 1.5 * brightness(frame, above));
    // The topmost and bottom rows are faded out entirely.
    EXPECT_LT(brightness(frame, QRect(0, 0, 600, 1)), 1);
    EXPECT_LT(brightness(frame, QRect(0, 239, 600, 1)), 1);

    Theme undimmed = noHighlight;
    undimmed.dimPassedText = false;
    view.setTheme(undimmed);
    const QImage plain = widget_.renderFrame();
    EXPECT_GT(brightness(plain, above), 1.5 * brightness(frame, above));
}

TEST_F(PrompterTextWidgetTest, ScrollingFramesReuseOneImageAndLeaveKeptCopiesAlone) {
    // Every paint made a new image the size of the panel, so each display frame of a scroll
    // allocated (and freed) the whole panel's pixels.
    // One buffer serves every frame of one size: the serial part of its cache key stays put.
    auto& view = widget_.view();
    const qint64 first = widget_.renderFrame().cacheKey() >> 32;
    view.setScrollY(40);
    widget_.grab();  // a paint on screen
    view.setScrollY(80);
    const QImage held = widget_.renderFrame();
    EXPECT_EQ(held.cacheKey() >> 32, first);

    // A frame somebody keeps is not painted over by the next one.
    const QImage before = held.copy();
    view.setScrollY(120);
    const QImage next = widget_.renderFrame();
    EXPECT_EQ(held, before);
    EXPECT_NE(next, held);
}

TEST_F(PrompterTextWidgetTest, EachMirrorModeFlipsTheDrawingOnScreen) {
    const QString folder = QDir::current().absoluteFilePath("artifacts");
    QDir().mkpath(folder);
    widget_.view().setScrollY(40);
    widget_.view().setCurrentTokenIndex(3);
    const QImage plain = widget_.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    for (MirrorMode mode : kAllMirrorModes) {
        SCOPED_TRACE(std::string(rawValue(mode)));
        Theme theme;
        theme.mirror = mode;
        widget_.view().setTheme(theme);
        const QImage shown = widget_.grab().toImage().convertToFormat(QImage::Format_ARGB32);
        QImage onPanel(shown.size(), QImage::Format_ARGB32);
        onPanel.fill(Qt::black);
        QPainter(&onPanel).drawImage(0, 0, shown);
        onPanel.save(folder + "/prompter-" + QString::fromUtf8(rawValue(mode).data()) + ".png");
        const auto s = scale(mode);
        EXPECT_EQ(shown, plain.mirrored(s.horizontal < 0, s.vertical < 0));
        EXPECT_EQ(shown, widget_.renderFrame().convertToFormat(QImage::Format_ARGB32));
    }
}

}  // namespace
}  // namespace vorela
