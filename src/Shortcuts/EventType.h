#pragma once

namespace vorela::Shortcuts {

enum class EventType { keyDown, keyUp };

}  // namespace vorela::Shortcuts
