#include "platform/base/run_state.h"

#include <algorithm>

namespace vark {

RunState* RunState::current_ = nullptr;

RunState::RunState() : previous_(current_) { current_ = this; }

RunState::~RunState() {
  recent_ = {};
  // Newest first, each taken out of the list before it goes, so a destructor that asks
  // for an older object finds it and never one already destroyed.
  while (!slots_.empty()) {
    Slot slot = slots_.back();
    slots_.pop_back();
    recent_[Bucket(slot.type)] = {};
    slot.destroy(slot.object);
  }
  current_ = previous_;
}

void* RunState::Find(const void* type) {
  auto it = std::find_if(slots_.begin(), slots_.end(), [&](const Slot& s) { return s.type == type; });
  if (it == slots_.end()) return nullptr;
  recent_[Bucket(type)] = {type, it->object};
  return it->object;
}

void RunState::Keep(const void* type, void* object, void (*destroy)(void*)) {
  slots_.push_back({type, object, destroy});
  recent_[Bucket(type)] = {type, object};
}

RunState& RunState::ProcessRun() {
  // Lives until the program exits; made only where no run was made on purpose.
  static RunState processRun;
  return processRun;
}

}  // namespace vark
