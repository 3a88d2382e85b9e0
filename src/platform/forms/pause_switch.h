// The player's pause of a screen played against the clock: a pause key (P, the Pause key,
// a controller's Start) holds every timer of the form (Form::SetPaused) and shows the
// screen's banner; the same key lets play go on. The music is no timer: it plays on.
#pragma once

#include <cstdint>

#include "platform/forms/form.h"

namespace vark {

// P by its letter or its place (keys.h gives it as SDLK_p), the Pause key, and the key a
// controller's Start sends on a screen that pauses.
bool IsPauseKey(int keyCode);

class PauseSwitch {
 public:
  PauseSwitch(Form& form, Control& banner) : form_(form), banner_(banner) {}

  // Switches the pause when `keyCode` is a pause key; true when it was one. A key held
  // down sends repeats: a pause key that comes sooner than kRepeatGapMs after the one
  // before is such a repeat and switches nothing.
  bool Key(int keyCode);
  void Set(bool on);
  bool On() const { return form_.Paused(); }

  // Longer than the usual delay before a held key starts repeating (250 to 660 ms).
  static constexpr uint64_t kRepeatGapMs = 700;

 private:
  Form& form_;
  Control& banner_;
  bool keySeen_ = false;
  uint64_t lastKeyAt_ = 0;
};

}  // namespace vark
