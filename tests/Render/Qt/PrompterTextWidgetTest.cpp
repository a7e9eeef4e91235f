#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <functional>

#include "Platform/Time/Fake/ManualClock.h"
#include "Render/FrameShading.h"
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
    static double brightness(const QImage& image, const QRect& wanted) {
        const QRect region = wanted & image.rect();  // a line near the top reaches above it
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
    static double orangeExcess(const QImage& image, const QRect& wanted) {
        const QRect region = wanted & image.rect();
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

TEST_F(PrompterTextWidgetTest, AFramePaintedOnThePanelLooksLikeTheMaskedFrameOverIt) {
    // The frame is painted straight onto the panel, with the fade folded into its brushes:
    // it must look as the faded frame laid over the panel does, and erase nothing beneath.
    auto& view = widget_.view();
    view.setScrollY(*view.scrollOffsetForToken(view.lineStarts().at(2).tokenIndex));
    view.setCurrentTokenIndex(view.lineStarts().at(2).tokenIndex);
    const QColor beneath(200, 30, 30);
    QImage direct(600, 240, QImage::Format_ARGB32_Premultiplied);
    direct.fill(beneath);
    {
        QPainter p(&direct);
        widget_.paintFrame(p);
    }
    QImage layered(600, 240, QImage::Format_ARGB32_Premultiplied);
    layered.fill(beneath);
    QPainter(&layered).drawImage(0, 0, widget_.renderFrame());

    for (const int y : {0, 239}) {
        const QColor edge(direct.pixel(300, y));
        EXPECT_NEAR(edge.red(), beneath.red(), 3) << "the edges fade out to the panel";
        EXPECT_EQ(edge.green(), beneath.green());
    }
    const FrameShading shading = FrameShading::of(view);
    int worst = 0;
    // Below the top fade the two agree to rounding; inside it, text under the dim differs
    // by at most fade x (1 - fade) of the dim, which no reader tells apart.
    for (int y = static_cast<int>(shading.fadeTop) + 1; y < 240; ++y) {
        for (int x = 0; x < 600; ++x) {
            const QColor a(direct.pixel(x, y)), b(layered.pixel(x, y));
            worst = std::max({worst, std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                              std::abs(a.blue() - b.blue())});
        }
    }
    EXPECT_LE(worst, 3);
}

TEST_F(PrompterTextWidgetTest, WordsBeyondTheTextAreSkipped) {
    // Tokens may arrive for a text that is not (or no longer) there: an empty text has no
    // line to look them up in, and a short one holds only the first word.
    auto& view = widget_.view();
    const auto tokens = std::make_shared<std::vector<Token>>(view.tokens());
    for (const std::string text : {"", "pala", "palabra\n"}) {
        SCOPED_TRACE(text);
        view.setContent(text, tokens);
        EXPECT_EQ(view.tokenRect(0).has_value(), !text.empty());
        EXPECT_FALSE(view.tokenRect(1));
        EXPECT_FALSE(view.scrollOffsetForToken(2));
        EXPECT_EQ(view.lineStarts().size(), text.empty() ? 0u : 1u);
        EXPECT_FALSE(widget_.renderFrame().isNull());
    }
}

// The area the paint events a widget receives cover.
struct PaintedArea : QObject {
    QRegion area;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) area += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
};

TEST_F(PrompterTextWidgetTest, ANewWordRepaintsOnlyTheHighlightsAndAScrollEverything) {
    auto& view = widget_.view();
    widget_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget_));
    PaintedArea painted;
    widget_.installEventFilter(&painted);
    const QRect whole = widget_.rect();

    struct Step {
        const char* name;
        std::function<void()> change;
        bool everything;
    };
    const long line2 = view.lineStarts().at(1).tokenIndex;
    const std::vector<Step> steps = {
        {"a word on the same line", [&] { view.setCurrentTokenIndex(2); }, false},
        {"a word on the next line", [&] { view.setCurrentTokenIndex(line2 + 1); }, false},
        {"a scroll", [&] { view.setScrollY(12); }, true},
        {"a word and a scroll at once",
         [&] {
             view.setCurrentTokenIndex(line2);
             view.setScrollY(30);
         },
         true},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        QApplication::processEvents();
        painted.area = {};
        const QRect before = viewRect(*view.highlightRect()).adjusted(-2, -2, 2, 2);
        step.change();
        QApplication::processEvents();
        const QRect after = viewRect(*view.highlightRect()).adjusted(-2, -2, 2, 2);
        if (step.everything) {
            // Every other band leaves out the first column, which shows no text.
            EXPECT_TRUE(painted.area.contains(whole.adjusted(1, 0, 0, 0)));
        } else {
            EXPECT_TRUE(painted.area.contains(before.intersected(whole)));
            EXPECT_TRUE(painted.area.contains(after.intersected(whole)));
            EXPECT_LE(painted.area.boundingRect().height(), before.united(after).height() + 2);
            EXPECT_FALSE(painted.area.contains(QPoint(300, 230))) << "nothing else";
        }
    }
}

// Mirrored, glyphs are drawn mirrored rather than a drawing flipped, so their edges may
// differ by a shade: the two are compared at a quarter of the size, as mean
// differences in levels of 255.
double meanDifference(const QImage& a, const QImage& b) {
    const QImage x = a.scaled(a.size() / 4, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage y = b.scaled(b.size() / 4, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    double sum = 0;
    for (int j = 0; j < x.height(); ++j) {
        for (int i = 0; i < x.width(); ++i) {
            const QColor p(x.pixel(i, j)), q(y.pixel(i, j));
            sum += std::abs(p.red() - q.red()) + std::abs(p.green() - q.green()) +
                   std::abs(p.blue() - q.blue()) + std::abs(p.alpha() - q.alpha());
        }
    }
    return sum / (4.0 * x.width() * x.height());
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
        const QImage flipped = plain.mirrored(s.horizontal < 0, s.vertical < 0);
        // Measured: at most 2.6 levels from the flipped drawing, over 30 from the unflipped.
        EXPECT_LT(meanDifference(shown, flipped), 4);
        if (mode != MirrorMode::none) {
            EXPECT_GT(meanDifference(shown, plain), 20) << "the drawing did flip";
        }
        EXPECT_EQ(shown, widget_.renderFrame().convertToFormat(QImage::Format_ARGB32));
    }
}

}  // namespace
}  // namespace vorela
