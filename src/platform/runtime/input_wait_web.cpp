#include <SDL.h>
#include <emscripten.h>

#include "platform/runtime/input_wait.h"

namespace vark {
namespace {

// Gives the page back until the timeout or the first input event the page hears of
// (web/pre.js), whichever comes first. Controllers are read by polling, so while one is
// connected the sleep lasts at most a frame.
// (Plain functions: the preprocessor splits an arrow "=>" in two.)
EM_ASYNC_JS(void, SleepUntilInput, (int timeoutMs), {
  const pads = navigator.getGamepads ? Array.from(navigator.getGamepads()).some(Boolean) : false;
  await new Promise(function(resolve) {
    const timer = setTimeout(done, pads ? Math.min(timeoutMs, 16) : timeoutMs);
    function done() {
      clearTimeout(timer);
      Module.wakeOnInput = null;
      resolve();
    }
    Module.wakeOnInput = done;
  });
});

}  // namespace

bool WaitForInput(SDL_Event& e, int timeoutMs) {
  if (SDL_PollEvent(&e)) return true;
  if (timeoutMs <= 0) return false;
  SleepUntilInput(timeoutMs);
  return SDL_PollEvent(&e);
}

}  // namespace vark
