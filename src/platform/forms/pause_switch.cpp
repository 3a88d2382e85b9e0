#include "platform/forms/pause_switch.h"

#include <SDL.h>

#include "platform/forms/control.h"
#include "platform/runtime/app.h"

namespace vark {

bool IsPauseKey(int keyCode) { return keyCode == SDLK_p || keyCode == SDLK_PAUSE; }

bool PauseSwitch::Key(int keyCode) {
  if (!IsPauseKey(keyCode)) return false;
  uint64_t now = App::Get().Now();
  bool repeat = keySeen_ && now - lastKeyAt_ < kRepeatGapMs;
  keySeen_ = true;
  lastKeyAt_ = now;
  if (!repeat) Set(!On());
  return true;
}

void PauseSwitch::Set(bool on) {
  form_.SetPaused(on);
  banner_.SetVisible(on);
}

}  // namespace vark
