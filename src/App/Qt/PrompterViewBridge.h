#pragma once

#include <memory>
#include <vector>

#include "Platform/Foundation/LifetimeGuard.h"
#include "Platform/Observation/Subscription.h"

class QWidget;

namespace vorela {

class AppState;
class Clock;
class PrompterTextWidget;
class WidgetTextSurface;

// Puts the prompter text widget into the panel content and keeps it in step with the
// central state: theme, script and current word go to the widget; clicks jump to a word,
// wheel steps scroll by hand. A new text or new word ranges put the reading position back
// at the top; tokens that differ only in phonetic keys or spoken variants (a language
// switch) keep it. Main thread only; the state must outlive the bridge.
class PrompterViewBridge {
public:
    // The widget becomes a child of parent (Qt deletes it with the parent).
    PrompterViewBridge(AppState& state, const Clock& clock, QWidget& parent);
    ~PrompterViewBridge();
    PrompterViewBridge(const PrompterViewBridge&) = delete;
    PrompterViewBridge& operator=(const PrompterViewBridge&) = delete;
    PrompterViewBridge(PrompterViewBridge&&) = delete;
    PrompterViewBridge& operator=(PrompterViewBridge&&) = delete;

    PrompterTextWidget& widget() { return *widget_; }

    // Passes the state's theme, script and current word on to the widget.
    void update();

private:
    AppState& state_;
    PrompterTextWidget* widget_ = nullptr;
    std::shared_ptr<WidgetTextSurface> surface_;
    Subscription tokenClicks_;
    Subscription manualScrolls_;
    Subscription relayouts_;
    std::vector<Subscription> observations_;
    LifetimeGuard guard_;  // last
};

}  // namespace vorela
