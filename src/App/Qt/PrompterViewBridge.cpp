#include "App/Qt/PrompterViewBridge.h"

#include <algorithm>

#include "App/AppState.h"
#include "App/Qt/WidgetTextSurface.h"
#include "Render/Qt/PrompterTextWidget.h"

namespace vorela {

namespace {
// Same words at the same places of the same text: the laid-out positions stay valid.
bool sameRanges(const std::vector<Token>& a, const std::vector<Token>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const Token& x, const Token& y) {
        return x.range == y.range && x.utf16Range == y.utf16Range && x.index == y.index;
    });
}
}  // namespace

PrompterViewBridge::PrompterViewBridge(AppState& state, const Clock& clock, QWidget& parent)
    : state_(state), widget_(new PrompterTextWidget(clock, state.theme.get(), &parent)) {
    widget_->setObjectName("prompterTextView");
    PrompterTextView& view = widget_->view();
    view.setContent(state.scriptText.get(), state.tokens.get().list);
    // The widget belongs to its parent and may outlive the bridge.
    tokenClicks_ = view.setOnTokenClicked([this](long index) { state_.jumpToToken(index); });
    manualScrolls_ = view.setOnManualScroll([this](double delta) { state_.scrollManually(delta); });
    relayouts_ = view.setOnRelayout([this] { state_.keepReadingPosition(); });
    surface_ = std::make_shared<WidgetTextSurface>(*widget_);
    state.attach(surface_);

    const auto changed = guard_.bind([this](const auto&) { update(); });
    observations_.push_back(state.theme.observe(changed));
    // The text alone is not followed: its words always come after it, and laying it out
    // with the previous text's words would walk them over the new lines for nothing.
    observations_.push_back(state.tokens.observe(changed));
    // A new word only moves the highlight: the text and its ranges stay as they are.
    observations_.push_back(state.currentTokenIndex.observe(
        guard_.bind([this](long index) { widget_->view().setCurrentTokenIndex(index); })));
}

PrompterViewBridge::~PrompterViewBridge() = default;

void PrompterViewBridge::update() {
    PrompterTextView& view = widget_->view();
    view.setTheme(state_.theme.get());
    const ScriptTokens& tokens = state_.tokens.get();
    const bool newText = view.text() != state_.scriptText.get();
    const bool newRanges = !sameRanges(view.tokens(), *tokens);
    if (newText || newRanges) {
        view.setContent(state_.scriptText.get(), tokens.list);
        state_.resetScroll();
    } else if (view.tokens() != *tokens) {
        // Only keys or variants changed: keep the laid-out text and the position.
        view.setContent(state_.scriptText.get(), tokens.list);
    }
    view.setCurrentTokenIndex(state_.currentTokenIndex.get());
}

}  // namespace vorela
