#include "Shortcuts/HotKey.h"

#include "Platform/Loop/LoopLink.h"
#include "Shortcuts/HotKeyCenter.h"

namespace vorela::Shortcuts {

HotKey::HotKey(const std::shared_ptr<HotKeyCenter>& center, int carbonKeyCode, int carbonModifiers,
               Callback onKeyDown, Callback onKeyUp)
    : carbonKeyCode_(carbonKeyCode),
      carbonModifiers_(carbonModifiers),
      onKeyDown_(std::move(onKeyDown)),
      onKeyUp_(std::move(onKeyUp)),
      id_(center->takeNextHotKeyId()),
      center_(center),
      loop_(center->loopLink_.link()) {}

HotKey::~HotKey() {
    if (loop_->isMainThread()) {
        if (const auto center = center_.lock()) center->tearDown(id_, eventHotKeyRef_);
        return;
    }
    loop_->post([center = center_, id = id_, handle = eventHotKeyRef_] {
        if (const auto c = center.lock()) c->tearDown(id, handle);
    });
}

}  // namespace vorela::Shortcuts
