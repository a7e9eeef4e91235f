#include "Shortcuts/RepeatingKeyDownEvents.h"

#include <memory>

#include "Platform/Loop/TimerHandle.h"

namespace vorela::Shortcuts {
namespace {

// Reads the source and drives the repeat timer; lives while the output stream does.
struct Repeater {
    RunLoop& loop;
    double repeatDelay = 0;
    double repeatInterval = 0;
    std::function<void()> didReceiveKeyDown;
    std::function<bool()> shouldContinueRepeating;
    AsyncStream<KeyRepeat>::Continuation output;
    Subscription source;
    TimerHandle timer;

    void keyDown(const std::weak_ptr<Repeater>& self) {
        if (didReceiveKeyDown) didReceiveKeyDown();
        output.yield(KeyRepeat{});
        timer = loop.schedule(repeatDelay, [self] {
            if (const auto r = self.lock()) r->repeat(self);
        });
    }

    void repeat(const std::weak_ptr<Repeater>& self) {
        if (!shouldContinueRepeating || !shouldContinueRepeating()) {
            timer = {};
            return;
        }
        output.yield(KeyRepeat{});
        timer = loop.schedule(repeatInterval, [self] {
            if (const auto r = self.lock()) r->repeat(self);
        });
    }

    void stop() { timer = {}; }
};

}  // namespace

AsyncStream<KeyRepeat> makeRepeatingKeyDownEvents(RunLoop& loop, AsyncStream<EventType> source,
                                                  double repeatDelay, double repeatInterval,
                                                  std::function<void()> didReceiveKeyDown,
                                                  std::function<bool()> shouldContinueRepeating) {
    auto made = AsyncStream<KeyRepeat>::make(AsyncStream<KeyRepeat>::Buffering::newest);
    AsyncStream<KeyRepeat> stream = std::move(made.first);
    const auto continuation = made.second;
    auto repeater = std::make_shared<Repeater>(Repeater{loop,
                                                        repeatDelay,
                                                        repeatInterval,
                                                        std::move(didReceiveKeyDown),
                                                        std::move(shouldContinueRepeating),
                                                        continuation,
                                                        {},
                                                        {}});
    std::weak_ptr<Repeater> weak = repeater;
    repeater->source = source.forEach(
        loop,
        [weak](EventType event) {
            const auto r = weak.lock();
            if (!r) return;
            if (event == EventType::keyDown) {
                r->keyDown(weak);
            } else {
                r->stop();
            }
        },
        [weak] {
            if (const auto r = weak.lock()) {
                r->stop();
                r->output.finish();
            }
        });
    // The output's end releases the repeater: its timer stops and the source ends, which
    // releases the source's handler entries.
    continuation.onTermination([repeater] {
        repeater->timer.cancel();
        repeater->source.cancel();
    });
    return stream;
}

}  // namespace vorela::Shortcuts
