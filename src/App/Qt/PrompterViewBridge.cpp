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
    std::weak_ptr<bool> alive = alive_;
    view.setOnTokenClicked([this, alive](long index) {
        if (alive.lock()) state_.jumpToToken(index);
    });
    view.setOnManualScroll([this, alive](double delta) {
        if (alive.lock()) state_.scrollManually(delta);
    });
    view.setOnRelayout([this, alive] {
        if (alive.lock()) state_.keepReadingPosition();
    });
    surface_ = std::make_shared<WidgetTextSurface>(*widget_);
    state.attach(surface_);

    const auto changed = [this, alive](const auto&) {
        if (alive.lock()) update();
    };
    observations_.push_back(state.theme.observe(changed));
    observations_.push_back(state.scriptText.observe(changed));
    observations_.push_back(state.tokens.observe(changed));
    observations_.push_back(state.currentTokenIndex.observe(changed));
}

PrompterViewBridge::~PrompterViewBridge() { *alive_ = false; }

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
