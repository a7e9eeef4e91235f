#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QTextLayout>
#include <string>

#include "Render/Qt/QtTextLayoutEngine.h"
#include "Render/ThemeFont.h"
#include "Support/QtTestApp.h"

namespace vorela {
namespace {

constexpr double kWidth = 560;

class QtTextLayoutEngineTest : public ::testing::Test {
protected:
    QtTextLayoutEngineTest() { testing::qtTestApp(); }

    std::unique_ptr<TextLayout> layOut(const std::string& text) {
        return engine_.layout(text, kWidth, style_);
    }
    // Where lines break when Qt lays the whole paragraph out at once.
    std::vector<std::pair<int, int>> qtLines(const QString& paragraph) const {
        QTextLayout layout(paragraph, QtTextLayoutEngine::resolveFont(style_.font));
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        std::vector<std::pair<int, int>> lines;
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(kWidth);
            lines.emplace_back(line.textStart(), line.textStart() + line.textLength());
        }
        layout.endLayout();
        return lines;
    }
    static void expectTiled(const TextLayout& layout, std::size_t length) {
        const auto& lines = layout.lines();
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.front().utf16Start, 0u);
        for (std::size_t i = 1; i < lines.size(); ++i)
            ASSERT_EQ(lines[i].utf16Start, lines[i - 1].utf16End) << "line " << i;
        EXPECT_EQ(lines.back().utf16End, length);
    }

    TextStyle style_{font(ThemeFont::sans, 28, FontWeight::regular), 8};
    QtTextLayoutEngine engine_;
};

TEST_F(QtTextLayoutEngineTest, ALongParagraphBreaksWhereQtBreaksItWhole) {
    // Laid out a piece at a time, so a long paragraph never costs its whole glyph data at
    // once: the seams between pieces must not show.
    std::string text;
    for (int i = 0; text.size() < 40000; ++i) text += i % 7 ? "palabra " : "extraordinariamente, ";
    const auto layout = layOut(text);
    expectTiled(*layout, text.size());
    const auto expected = qtLines(QString::fromStdString(text));
    ASSERT_EQ(layout->lines().size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const auto& line = layout->lines()[i];
        ASSERT_EQ(line.utf16Start, static_cast<std::size_t>(expected[i].first)) << "line " << i;
        ASSERT_EQ(line.utf16End, static_cast<std::size_t>(expected[i].second)) << "line " << i;
    }
}

TEST_F(QtTextLayoutEngineTest, ARunWithoutSpacesFillsEachLineAndKeepsItsOffsets) {
    // A run with no break in it is cut near the column's edge, line after line; positions
    // stay those of the text (no character was added to it).
    const std::string run(30000, 'm');
    const std::string text = "inicio " + run + " fin\notra";
    const auto layout = layOut(text);
    expectTiled(*layout, text.size());
    const double em = QFontMetricsF(QtTextLayoutEngine::resolveFont(style_.font))
                          .horizontalAdvance(QLatin1Char('m'));
    const auto& lines = layout->lines();
    ASSERT_GT(lines.size(), 30000 * em / kWidth);
    for (std::size_t i = 1; i + 2 < lines.size(); ++i) {  // the run's whole lines
        const auto rects = layout->segmentRects(
            {static_cast<std::uint32_t>(lines[i].utf16Start),
             static_cast<std::uint32_t>(lines[i].utf16End - lines[i].utf16Start)});
        ASSERT_EQ(rects.size(), 1u);
        EXPECT_LE(rects[0].width, kWidth) << "line " << i;
        EXPECT_GT(rects[0].width, kWidth - 4 * em) << "line " << i;
    }
    // "fin" after the run, and the next paragraph's first word, measured where they sit.
    const auto fin = layout->segmentRects({static_cast<std::uint32_t>(text.find(" fin") + 1), 3});
    ASSERT_EQ(fin.size(), 1u);
    EXPECT_NEAR(fin[0].width,
                QFontMetricsF(QtTextLayoutEngine::resolveFont(style_.font))
                    .horizontalAdvance(QStringLiteral("fin")),
                1);
    EXPECT_EQ(fin[0].y, lines[lines.size() - 2].top);
    const auto otra = layout->segmentRects({static_cast<std::uint32_t>(text.size() - 4), 4});
    ASSERT_EQ(otra.size(), 1u);
    EXPECT_EQ(otra[0].x, 0);
    EXPECT_EQ(otra[0].y, lines.back().top);
}

TEST_F(QtTextLayoutEngineTest, RunsBreakBetweenCharactersNeverInsideOne) {
    // Astral letters are two UTF-16 units and an accent may follow its letter as a mark of
    // its own: no line starts between the two.
    std::string text;
    for (int i = 0; i < 3000; ++i) text += i % 2 ? "\xF0\x9D\x90\x80" : "e\xCC\x81";  // 𝐀, é
    const QString shown = QString::fromStdString(text);
    const auto layout = layOut(text);
    expectTiled(*layout, static_cast<std::size_t>(shown.size()));
    ASSERT_GT(layout->lines().size(), 5u);
    for (const auto& line : layout->lines()) {
        const QChar first = shown[static_cast<qsizetype>(line.utf16Start)];
        EXPECT_FALSE(first.isLowSurrogate() || first.isMark()) << line.utf16Start;
    }
}

}  // namespace
}  // namespace vorela
