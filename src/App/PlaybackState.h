#pragma once

namespace vorela {

// Whether the reading position moves on its own. Never stored.
enum class PlaybackState { stopped, playing, paused };

}  // namespace vorela
