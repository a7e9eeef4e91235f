#pragma once

namespace vorela::ReadingRate {

// What people actually read aloud, in words per minute: the rate the reader sets and the
// rate measured from the voice are both held to this range.
inline constexpr double kMinWpm = 60;
inline constexpr double kMaxWpm = 260;
// One press of the faster or slower shortcut.
inline constexpr double kStepWpm = 10;

}  // namespace vorela::ReadingRate
