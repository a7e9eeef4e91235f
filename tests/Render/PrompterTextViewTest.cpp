#include <gtest/gtest.h>

#include "Platform/Loop/Fake/ManualRunLoop.h"
#include "Render/HoverMonitor.h"
#include "Render/PrompterTextView.h"
#include "Script/Tokenizer.h"
#include "Support/GridTextLayoutEngine.h"

namespace vorela {
namespace {

// On the grid engine at 28 pt a character is 14 pt wide and a line 28 pt high plus the
// theme's spacing (0.3 x 28 = 8.4 pt), so a 200 pt view has a 156 pt column: 11 characters.
// The line pitch as the view computes it (8.4 is not exact in binary).
const double kPitch = 28 + 28 * (1.3 - 1);

class PrompterTextViewTest : public ::testing::Test {
protected:
    void load(const std::string& text, Size size = {200, 160}) {
        auto tokens = std::make_shared<std::vector<Token>>(
            Tokenizer(Tokenizer::Language::spanish, "es_ES").tokenize(text));
        view_.setContent(text, tokens);
        view_.setViewSize(size);
    }
    long indexAt(double x, double y) const { return view_.tokenIndexAt({x, y}).value_or(-1); }

    testing::GridTextLayoutEngine engine_;
    PrompterTextView view_{engine_};
    int redraws_ = 0;
};

TEST_F(PrompterTextViewTest, EmptyScriptHasNoRectanglesLinesOrHeight) {
    load("");
    EXPECT_TRUE(view_.lineStarts().empty());
    EXPECT_EQ(view_.contentHeight(), 0);
    EXPECT_FALSE(view_.tokenIndexAtReadingLine());
    for (long i = -1; i < 3; ++i) EXPECT_FALSE(view_.scrollOffsetForToken(i));
    EXPECT_FALSE(view_.tokenIndexAt({30, 58}));
}

TEST_F(PrompterTextViewTest, NothingIsLaidOutBeforeTheViewHasAWidth) {
    // The first rebuild used to run at zero width, laying every word out in a 1 pt column
    // only to throw it away; queries before a real width must answer none.
    view_.setContent(
        "uno dos tres",
        std::make_shared<std::vector<Token>>(
            Tokenizer(Tokenizer::Language::spanish, "es_ES").tokenize("uno dos tres")));
    EXPECT_EQ(engine_.layoutCount(), 0);
    EXPECT_FALSE(view_.scrollOffsetForToken(0));
    EXPECT_FALSE(view_.tokenIndexAtReadingLine());
    view_.setViewSize({200, 160});
    EXPECT_EQ(engine_.layoutCount(), 1);
    EXPECT_DOUBLE_EQ(engine_.lastWidth(), 156);
    EXPECT_TRUE(view_.scrollOffsetForToken(0));
}

TEST_F(PrompterTextViewTest, RebuildsOnlyWhenTheWidthMovesMoreThanHalfAPoint) {
    load("uno dos tres");
    ASSERT_EQ(engine_.layoutCount(), 1);
    view_.setViewSize({200.4, 160});
    EXPECT_EQ(engine_.layoutCount(), 1);
    view_.setViewSize({201.0, 160});
    EXPECT_EQ(engine_.layoutCount(), 2);
    view_.setViewSize({40, 160});  // narrower than the two margins: a 1 pt column
    EXPECT_DOUBLE_EQ(engine_.lastWidth(), 1);
}

TEST_F(PrompterTextViewTest, NewTokensOverTheSameTextKeepTheLayout) {
    // Loading a script handed the view its text and then its tokens, and each laid the whole
    // script out: 74 ms instead of 30 for 20,000 words. Only a new text needs a new layout.
    const std::string text = "uno dos tres cuatro";
    const Tokenizer tokenizer(Tokenizer::Language::spanish, "es_ES");
    load(text);
    ASSERT_EQ(engine_.layoutCount(), 1);
    const auto others = std::make_shared<std::vector<Token>>(tokenizer.tokenize("uno dos"));
    view_.setContent(text, others);
    EXPECT_EQ(engine_.layoutCount(), 1);
    EXPECT_TRUE(view_.tokenRect(1));
    EXPECT_FALSE(view_.tokenRect(2)) << "the rectangles follow the new tokens";

    view_.setContent("uno dos tres cinco", std::make_shared<std::vector<Token>>(
                                               tokenizer.tokenize("uno dos tres cinco")));
    EXPECT_EQ(engine_.layoutCount(), 2);
    EXPECT_TRUE(view_.tokenRect(3));
}

TEST_F(PrompterTextViewTest, WordsLandOnLinesAndTheReadingLineQueryFindsThem) {
    // 11 characters a line: "uno dos " | "tres cuatro " | "cinco"
    load("uno dos tres cuatro cinco");
    ASSERT_EQ(view_.lineStarts().size(), 3u);
    EXPECT_EQ(view_.lineStarts()[1], (PrompterTextView::LineStart{kPitch, 2}));
    EXPECT_EQ(view_.lineStarts()[2].tokenIndex, 4);
    EXPECT_DOUBLE_EQ(view_.contentHeight(), 2 * kPitch + 28);
    EXPECT_EQ(*view_.tokenRect(1), (Rect{56, 0, 42, 28}));
    EXPECT_DOUBLE_EQ(*view_.scrollOffsetForToken(2), kPitch + 14);

    struct Case {
        const char* name;
        double scrollY;
        long expected;
    } cases[] = {
        {"above every line: the first word", -50, 0},
        {"on the first line", 10, 0},
        {"exactly on the second line's top", kPitch, 2},
        {"inside the third line", 90, 4},
        {"far below the end", 5000, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        view_.setScrollY(c.scrollY);
        EXPECT_EQ(view_.tokenIndexAtReadingLine(), c.expected);
    }
}

TEST_F(PrompterTextViewTest, AWordWrappedOverTwoLinesGetsOneRectangleSpanningBoth) {
    // 20 letters in an 11-character column break anywhere.
    load("abcdefghijklmnopqrst fin");
    ASSERT_TRUE(view_.tokenRect(0));
    EXPECT_EQ(*view_.tokenRect(0), (Rect{0, 0, 154, kPitch + 28}));
    EXPECT_EQ(view_.lineStarts().size(), 2u);  // the wrapped word opens one line only

    // Over many lines (a run with no space), the lines between its ends are taken as full:
    // a frame measures two lines of it, not thousands.
    load("ab " + std::string(60, 'x') + " fin");
    ASSERT_TRUE(view_.tokenRect(1));
    EXPECT_EQ(*view_.tokenRect(1), (Rect{0, kPitch, 156, 5 * kPitch + 28}));
    EXPECT_EQ(*view_.tokenRect(2), (Rect{84, 6 * kPitch, 42, 28}));
}

TEST_F(PrompterTextViewTest, ReadingLineFadeAndWheelFigures) {
    load("uno", {200, 160});
    EXPECT_EQ(view_.readingLineY(), 58);  // round(160 x 0.36 = 57.6)
    const auto stops = view_.fadeStops();
    EXPECT_NEAR(stops.top, 0.78 * 58 / 160, 1e-12);  // min(64, 45.24) / 160
    EXPECT_DOUBLE_EQ(stops.bottom, 1 - 28.0 / 160);

    std::vector<double> deltas;
    const auto scrolls = view_.setOnManualScroll([&](double d) { deltas.push_back(d); });
    view_.scrollWheel(1, false);
    view_.scrollWheel(-3.5, true);
    ASSERT_EQ(deltas.size(), 2u);
    EXPECT_NEAR(deltas[0], 36.4, 1e-12);  // 28 + 28 x 0.3
    EXPECT_DOUBLE_EQ(deltas[1], -3.5);
}

TEST_F(PrompterTextViewTest, ClicksHitTheWordUnderThePointer) {
    // Reading line at 58; scrollY 0 puts content y 0 at view y 58; text starts at x 22.
    load("uno dos tres cuatro cinco");
    std::vector<long> clicked;
    const auto clicks = view_.setOnTokenClicked([&](long i) { clicked.push_back(i); });
    struct Case {
        const char* name;
        double x, y;
        long expected;
    } cases[] = {
        {"on the first word", 22 + 10, 58 + 5, 0},
        {"on the second word", 22 + 60, 58 + 20, 1},
        {"beside the end of the first line: nearest centre", 22 + 150, 58 + 5, 1},
        {"left of the second line", 5, 58 + 40, 2},
        {"between two lines", 22 + 10, 58 + 30, -1},
        {"above everything", 22 + 10, 10, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(indexAt(c.x, c.y), c.expected);
    }
    view_.mouseDown({22 + 60, 58 + 20});
    view_.mouseDown({22 + 10, 58 + 30});
    EXPECT_EQ(clicked, std::vector<long>{1});
}

TEST_F(PrompterTextViewTest, AClickOnAMirroredPanelHitsTheWordDrawnUnderThePointer) {
    // The hit test once used the pointer's position as if the drawing were not mirrored,
    // so a click landed on the word at the opposite edge; drawing mirrors about the centre.
    load("uno dos tres cuatro cinco");
    Theme theme;
    theme.mirror = MirrorMode::horizontal;
    view_.setTheme(theme);
    // "uno" is drawn at x 22..64 unmirrored, so at 200-64..200-22 mirrored.
    EXPECT_EQ(indexAt(200 - 30, 58 + 5), 0);
    theme.mirror = MirrorMode::rotated180;
    view_.setTheme(theme);
    EXPECT_EQ(indexAt(200 - 30, 160 - (58 + 5)), 0);
    EXPECT_EQ(indexAt(200 - (22 + 60), 160 - (58 + 20)), 1);
}

TEST_F(PrompterTextViewTest, OverlappingRectanglesResolveToTheLowestIndex) {
    // A wrapped word's rectangle spans both lines and covers the words between them; the
    // answer must not depend on a map's iteration order.
    load("ab abcdefghijklmnopqrst");
    // "ab " then the long word wraps: it starts on line 1 and fills line 2.
    const Point insideBoth{22 + 7, 58 + 5};
    ASSERT_TRUE(view_.tokenRect(1));
    EXPECT_EQ(indexAt(insideBoth.x, insideBoth.y), 0);
}

TEST_F(PrompterTextViewTest, TokensAfterAstralCharactersUseTheirUtf16Positions) {
    // The emoji is one character but two UTF-16 units: the grid puts "hola" at column 3.
    load("😀 hola mundo");
    const auto& tokens = view_.tokens();
    ASSERT_EQ(tokens.size(), 2u);
    EXPECT_EQ(tokens[0].raw, "hola");
    ASSERT_TRUE(view_.tokenRect(0));
    EXPECT_DOUBLE_EQ(view_.tokenRect(0)->x, 3 * 14);
}

TEST_F(PrompterTextViewTest, HighlightVisibleLinesAndRedrawRequests) {
    std::string text;
    for (int i = 0; i < 100; ++i) text += "palabra ";
    load(text);
    const auto redraws = view_.setOnNeedsDisplay([&] { ++redraws_; });

    view_.setCurrentTokenIndex(1);
    EXPECT_EQ(*view_.highlightRect(), (Rect{-3, kPitch - 2, 98 + 6, 28 + 4}));
    view_.setScrollY(500);
    view_.setScrollY(500);
    view_.setCurrentTokenIndex(1);
    EXPECT_EQ(redraws_, 2);

    // Band: content y 500 - 58 - 40 = 402 to 402 + 160 + 80 = 642; lines every 36.4.
    const auto [first, last] = view_.visibleLines();
    const auto& lines = view_.layout()->lines();
    EXPECT_GE(lines[first].bottom, 402);
    EXPECT_LT(lines[first - 1].bottom, 402);
    EXPECT_LE(lines[last - 1].top, 642);
    EXPECT_GT(lines[last].top, 642);

    Theme theme;
    theme.highlightCurrentWord = false;
    view_.setTheme(theme);
    EXPECT_FALSE(view_.highlightRect());
}

TEST_F(PrompterTextViewTest, PointerEnterAndExitReachTheHoverMonitor) {
    ManualRunLoop loop;
    auto monitor = std::make_shared<HoverMonitor>(0.4, loop);
    int enters = 0, exits = 0;
    monitor->setOnEnter([&] { ++enters; });
    monitor->setOnExit([&] { ++exits; });
    view_.mouseEntered();  // no monitor attached yet: nothing happens
    view_.setHoverMonitor(monitor);
    view_.mouseEntered();
    view_.mouseExited();
    loop.advanceBy(0.5);
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(exits, 1);

    // The view used to keep a plain pointer that its owners had to clear by hand; a
    // monitor that is gone must simply stop receiving events.
    monitor.reset();
    view_.mouseEntered();
    view_.mouseExited();
    loop.advanceBy(0.5);
    EXPECT_EQ(enters, 1);
}

}  // namespace
}  // namespace vorela
