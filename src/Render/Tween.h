#pragma once

#include <algorithm>
#include <cmath>

namespace vorela {

// A value moving from one number to another over a fixed time, read at any moment of the
// run loop's clock. Views animate with it so that tests can drive it with virtual time.
struct Tween {
    enum class Curve { linear, easeOut, easeInOut };

    double from = 0;
    double to = 0;
    double startSeconds = 0;
    double durationSeconds = 0;
    Curve curve = Curve::linear;

    // A tween that already rests at value.
    static Tween at(double value) { return {value, value, 0, 0, Curve::linear}; }
    // Starts from wherever this tween is at `now`, so a reversal does not jump.
    Tween retargeted(double target, double now, double duration, Curve c) const {
        return {value(now), target, now, duration, c};
    }

    bool isDone(double now) const { return now >= startSeconds + durationSeconds; }
    double value(double now) const {
        if (durationSeconds <= 0 || isDone(now)) return to;
        const double t = std::clamp((now - startSeconds) / durationSeconds, 0.0, 1.0);
        return from + (to - from) * eased(t);
    }

private:
    double eased(double t) const {
        switch (curve) {
            case Curve::linear:
                return t;
            // Cubic ease-out: fast start, gentle arrival.
            case Curve::easeOut:
                return 1 - std::pow(1 - t, 3);
            // Cubic ease-in-out: gentle at both ends.
            case Curve::easeInOut:
                return t < 0.5 ? 4 * t * t * t : 1 - std::pow(-2 * t + 2, 3) / 2;
        }
        return t;
    }
};

}  // namespace vorela
