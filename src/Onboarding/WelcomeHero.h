#pragma once

#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "Platform/Foundation/Color.h"
#include "Platform/Loop/TimerHandle.h"
#include "Platform/Observation/ObserverList.h"
#include "Render/Tween.h"

namespace vorela {

class AccessibilitySettings;
class RunLoop;

// The welcome illustration's state: a mock script of word bars lit one after another as
// if read aloud, a flickering microphone meter and a progress bar. A repeating timer on
// the run loop moves the lit bar every 0.42 s and draws a new microphone level from its
// own random source (seeded, so tests see the same levels every run). The view asks for
// the drawn values at the run loop's current time: changes glide there, unless the
// desktop asks for less motion, in which case the picture stays still.
//
// Main thread only. The timer stops when the illustration goes.
class WelcomeHero final {
public:
    static constexpr double kTickSeconds = 0.42;
    static constexpr double kSpokenAnimationSeconds = 0.35;
    static constexpr double kMicAnimationSeconds = 0.18;
    static constexpr double kRowPitchPoints = 14;  // bar 7 plus spacing 7
    static constexpr std::array<double, 4> kMicBarScales = {4, 9, 6, 10};

    // Widths in points of the mock script's bars, row by row.
    static const std::vector<std::vector<double>>& rows();
    static int totalWords();
    // The row that holds bar `spoken`, counted over all rows in reading order.
    static int currentRow(int spoken);
    // The colour of a bar: accent when lit, brighter when still to come, dim when read.
    static Color color(int spoken, int row, int word);
    // How far the rows move up, in points, so the current row stays in view.
    static double rowsOffset(int spoken);
    static double progressFraction(int spoken);
    // Height in points of microphone bar 0...3 at a level.
    static double micBarHeight(int bar, double micLevel);

    WelcomeHero(RunLoop& loop, const AccessibilitySettings& accessibility, int spoken,
                double micLevel, std::uint32_t seed = std::random_device{}());

    // Starts the animation timer; a second call, or reduce motion, starts nothing.
    void start();
    // Stops the timer while nobody sees the picture; start() goes on from the same bar.
    void stop() { timer_.cancel(); }
    bool isAnimating() const { return timer_.isActive(); }
    int spoken() const { return spoken_; }
    double micLevel() const { return micLevel_; }

    // --- what the view draws at the run loop's current time ---
    Color drawnColor(int row, int word) const;
    double drawnRowsOffset() const;
    double drawnProgressFraction() const;
    double drawnMicBarHeight(int bar) const;
    // True while a change is still gliding: the view keeps redrawing.
    bool isGliding() const;

    // Called after every tick.
    [[nodiscard]] Subscription observe(std::function<void()> callback) {
        return observers_.add(std::move(callback));
    }

private:
    void tick();
    double now() const;

    RunLoop& loop_;
    const AccessibilitySettings& accessibility_;
    int spoken_ = 0;
    int previousSpoken_ = 0;
    double micLevel_ = 0;
    Tween spokenGlide_ = Tween::at(1);  // 0 at the previous bar, 1 at the current one
    Tween micGlide_ = Tween::at(0);
    std::mt19937 random_;
    ObserverList<> observers_;
    // Last: cancelled before anything a tick uses goes.
    TimerHandle timer_;
};

}  // namespace vorela
