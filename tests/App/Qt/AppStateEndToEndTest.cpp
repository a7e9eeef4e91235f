#include "App/AppStateEnvironment.h"
#include "App/Qt/WidgetTextSurface.h"
#include "Render/Qt/PrompterTextWidget.h"
#include "Support/QtTestApp.h"

namespace vorela {
namespace {

// The central state driving the real prompter widget, laid out by Qt on the offscreen
// platform, through a display link fired by hand at 60 frames a second.
class AppStateEndToEndTest : public testing::AppStateTest {
protected:
    struct App {
        App() { testing::qtTestApp(); }
    } app_;  // before the widgets
    FakeDisplayLinkSource frames_;
    PrompterTextWidget widget_{loop_.clock(), Theme{}};
};

TEST_F(AppStateEndToEndTest, TheWordAtTheReadingLineAdvancesAtTheSetRate) {
    AppState& state = makeState();
    const char* const words[] = {"hoy", "presentamos", "los",    "resultados", "del", "trimestre",
                                 "con", "ventas",      "récord", "y",          "un",  "margen"};
    std::string text;
    for (int i = 0; i < 2000; ++i)
        text += std::string(i % 10 ? " " : ". ") + words[(i * 7 + i / 12) % 12];
    state.load(text.substr(2) + ".", "Discurso largo");
    ASSERT_EQ(state.tokens.get().size(), 2000u);
    PrompterTextView& view = widget_.view();
    widget_.resize(420, 240);
    view.setViewSize({420, 240});
    view.setContent(state.scriptText.get(), state.tokens.get().list);
    const auto surface =
        std::make_shared<WidgetTextSurface>(widget_, frames_);  // the panel keeps it
    state.attach(surface);
    constexpr double kRate = 180;  // words per minute: three a second
    state.setWpm(kRate);
    state.setMode(PrompterMode::classic);
    state.play();

    // Where the line at the reading line starts, each time it changes, and when.
    std::vector<std::pair<long, double>> crossings;
    auto lineStart = view.tokenIndexAtReadingLine();
    frames_.fire(0);
    for (int frame = 1; frame <= 60 * 60; ++frame) {
        const double t = frame / 60.0;
        frames_.fire(t);
        const auto now = view.tokenIndexAtReadingLine();
        if (now != lineStart) crossings.emplace_back(now.value_or(-1), t);
        lineStart = now;
    }

    // Every line is crossed at the same point of its first word, so the words between the
    // first and the last crossing over the time between them is the rate.
    ASSERT_GT(crossings.size(), 20u);
    const auto [firstWord, firstTime] = crossings.front();
    const auto [lastWord, lastTime] = crossings.back();
    EXPECT_NEAR((lastWord - firstWord) / (lastTime - firstTime) * 60, kRate, kRate * 0.02);
    for (std::size_t i = 1; i < crossings.size(); ++i) {
        EXPECT_GT(crossings[i].first, crossings[i - 1].first) << "never backwards";
    }
    EXPECT_NEAR(state.currentTokenIndex.get(), kRate, 1);
    EXPECT_NEAR(view.scrollY(), *view.scrollOffsetForToken(state.currentTokenIndex.get()),
                view.lineHeight())
        << "the view shows the state's word at the reading line";
}

TEST_F(AppStateEndToEndTest, AWidgetDeletedByQtLeavesAnEmptySurface) {
    AppState& state = makeState();
    auto* widget = new PrompterTextWidget(loop_.clock(), Theme{});
    widget->view().setViewSize({300, 200});
    widget->view().setContent(state.scriptText.get(), state.tokens.get().list);
    auto surface = std::make_shared<WidgetTextSurface>(*widget);
    state.attach(surface);
    EXPECT_TRUE(surface->scrollOffsetForToken(3));
    delete widget;
    EXPECT_EQ(surface->scrollOffsetForToken(3), std::nullopt);
    EXPECT_EQ(surface->contentHeight(), 0);
    state.jumpToToken(3);
    EXPECT_EQ(state.currentTokenIndex.get(), 0);
}

}  // namespace
}  // namespace vorela
