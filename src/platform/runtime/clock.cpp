#include "platform/runtime/clock.h"

#include <SDL.h>

namespace vark {

uint64_t RealClock::NowMs() const { return SDL_GetTicks64(); }

void RealClock::Pause(int ms) {
  if (ms > 0) SDL_Delay(static_cast<Uint32>(ms));
}

}  // namespace vark
