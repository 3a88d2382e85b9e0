// Playing without a mouse: one control of the front form holds the focus, shown by a ring
// the platform draws around it (the same look on every screen). Arrow keys move the focus
// to the nearest control in their direction, Enter and Space press it as a click would, and
// Escape presses the screen's own cancel button when it has no other use for the key. The
// ring shows from the first key or controller input and hides when the mouse moves, so
// mouse play looks as it always did.
#pragma once

#include <SDL.h>

#include "platform/forms/form.h"
#include "platform/forms/screen.h"

namespace vark {

class FocusNav final : public ScreenOverlay, public FormWatcher {
 public:
  static FocusNav& Get();
  // Draws over the screen and follows the forms from when it is made until it goes.
  FocusNav();
  ~FocusNav();
  FocusNav(const FocusNav&) = delete;
  FocusNav& operator=(const FocusNav&) = delete;

  // A navigation key (an arrow, Enter, Space) for the front form; false when the form has
  // nothing to focus now, so the key goes on to the form's own handling.
  bool Key(Form& form, SDL_Keycode key);
  // Escape presses the form's shown escape button; false when none is shown.
  bool PressEscape(Form& form);
  // The mouse moved or was pressed: the ring hides.
  void PointerMoved();
  // A screen opened a question: its answer takes the focus (when it can).
  void Offer(Control& c);

  bool RingShown() const { return shown_; }
  // The focused control of the front form, or nullptr (no form, nothing to focus).
  Control* Focused();

  // The compositor's side: before composing, the old and the new place of the ring join the
  // area to redraw; after the forms are drawn, the ring is drawn over them.
  void BeforeCompose() override;
  void Draw(SDL_Surface* target, const SDL_Rect& clip) const override;

  // The form is going away: no reference into it is kept.
  void FormGone(const Form& form) override;

 private:
  void Show();
  void SetFocus(Form& form, Control* c);
  // The focus of `form`, picked again when the old one cannot be used any more.
  Control* Valid(Form& form);
  Control* Pick(Form& form) const;
  bool Move(Form& form, SDL_Keycode arrow);
  SDL_Rect WantedRing();

  bool shown_ = false;
  Form* form_ = nullptr;
  Control* focus_ = nullptr;
  SDL_Rect lastBox_{0, 0, 0, 0};  // where the focus was last seen, to find its successor
  SDL_Rect drawn_{0, 0, 0, 0};    // the ring on the picture now (empty: none)
};

// Presses a control as a left click in its middle would: mouse down, mouse up, click.
void PressControl(Control& c);

// True when the control can take the focus now: focusable, enabled with its containers,
// on the front form, and where a click in its middle would reach it.
bool CanTakeNavFocus(const Control& c);

}  // namespace vark
