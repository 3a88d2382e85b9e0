#include "platform/runtime/input_wait.h"

#include <SDL.h>

namespace vark {

bool WaitForInput(SDL_Event& e, int timeoutMs) {
  return timeoutMs > 0 ? SDL_WaitEventTimeout(&e, timeoutMs) : SDL_PollEvent(&e);
}

}  // namespace vark
