#include "platform/base/run_state.h"

#include <algorithm>

namespace vark {
namespace {

RunState* current = nullptr;

}  // namespace

RunState::RunState() : previous_(current) { current = this; }

RunState::~RunState() {
  // Newest first, each taken out of the list before it goes, so a destructor that asks
  // for an older object finds it and never one already destroyed.
  while (!slots_.empty()) {
    Slot slot = slots_.back();
    slots_.pop_back();
    slot.destroy(slot.object);
  }
  current = previous_;
}

void* RunState::Find(const void* type) const {
  auto it = std::find_if(slots_.begin(), slots_.end(), [&](const Slot& s) { return s.type == type; });
  return it == slots_.end() ? nullptr : it->object;
}

void RunState::Keep(const void* type, void* object, void (*destroy)(void*)) {
  slots_.push_back({type, object, destroy});
}

RunState& CurrentRun() {
  if (current) return *current;
  // Lives until the program exits; made only where no run was made on purpose.
  static RunState processRun;
  return processRun;
}

}  // namespace vark
