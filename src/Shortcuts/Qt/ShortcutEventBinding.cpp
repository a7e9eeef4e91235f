#include "Shortcuts/Qt/ShortcutEventBinding.h"

#include <QEvent>
#include <QWidget>
#include <optional>

#include "Platform/Observation/Subscription.h"
#include "Shortcuts/Context.h"

namespace vorela::Shortcuts {
namespace {

// Listens while its widget is shown. A child of the widget, so it and its stream end
// with it.
class ShortcutEventTask final : public QObject {
public:
    ShortcutEventTask(Context& context, QWidget& widget, Name name, std::optional<EventType> type,
                      std::function<void(EventType)> perform)
        : QObject(&widget),
          context_(context),
          name_(std::move(name)),
          type_(type),
          perform_(std::move(perform)) {
        widget.installEventFilter(this);
        if (widget.isVisible()) start();
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) start();
        if (event->type() == QEvent::Hide) task_.cancel();
        return QObject::eventFilter(watched, event);
    }

private:
    void start() {
        if (task_.isActive() && !hasEnded_) return;
        hasEnded_ = false;
        HandlerRegistry& registry = context_.registry();
        auto stream = type_ ? registry.events(*type_, name_) : registry.events(name_);
        // A stream that ended by itself is started anew by the next show.
        task_ = stream.forEach(
            context_.loop(), [perform = perform_](EventType event) { perform(event); },
            [this] { hasEnded_ = true; });
    }

    Context& context_;
    Name name_;
    std::optional<EventType> type_;
    std::function<void(EventType)> perform_;
    bool hasEnded_ = false;
    Subscription task_;  // last: its end may still reach the members above
};

}  // namespace

void onGlobalKeyboardShortcut(Context& context, QWidget& widget, const Name& name,
                              std::function<void(EventType)> perform) {
    new ShortcutEventTask(context, widget, name, std::nullopt, std::move(perform));
}

void onGlobalKeyboardShortcut(Context& context, QWidget& widget, const Name& name, EventType type,
                              std::function<void()> perform) {
    new ShortcutEventTask(context, widget, name, type,
                          [perform = std::move(perform)](EventType) { perform(); });
}

}  // namespace vorela::Shortcuts
