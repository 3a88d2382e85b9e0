// The screen: composes the visible forms into one 640 x 480 picture in software, only
// where something changed (screen.cpp), and hands it to the game's window at most once a
// display refresh (screen_present.cpp); it also gives the mouse pointer the shape of what
// lies under it (screen_pointer.cpp). The window itself is video/window.h's, input
// routing input/input_router.h's.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <string>

#include "platform/base/owned.h"
#include "platform/forms/control.h"

namespace vark {

class Control;
class Form;

// Drawn over every form (the focus ring): before composing it adds the area it changes,
// after the forms are drawn it draws itself over them.
class ScreenOverlay {
 public:
  virtual void BeforeCompose() = 0;
  virtual void Draw(SDL_Surface* target, const SDL_Rect& clip) const = 0;

 protected:
  ~ScreenOverlay() = default;
};

class Screen {
 public:
  static Screen& Get();

  // With a window the picture is shown on the display; without one (tests) it is only
  // composed, and can be saved or inspected.
  void Init(bool withWindow, bool fullscreen);
  void Shutdown();

  SDL_Surface* Surface() { return surface_.get(); }
  void Invalidate(const SDL_Rect& r);
  void InvalidateAll();
  bool Dirty() const { return dirty_.w > 0 && dirty_.h > 0; }

  // Redraws the changed area of the picture.
  void Compose();
  // Composes and shows what changed now (animation steps, the intro's frames); shows
  // nothing when nothing changed.
  void Present();
  // Shows the picture if something changed and the last showing is at least one display
  // refresh ago.
  void PresentIfDue(uint64_t now);
  // When the loop should wake up to draw (UINT64_MAX when nothing waits).
  uint64_t NextPresentTime() const;

  bool SavePng(const std::string& path);
  uint32_t PixelAt(int x, int y);

  // After each event: the window does what the front form's activity asks (the screensaver
  // held off, the pointer kept on the game's monitor), unless the player is away.
  void FollowActivity();

  // The control under a screen point (nullptr: the form's own surface), and its form.
  Control* ControlAt(int x, int y, Form** form) const;
  // Where the mouse pointer is, in screen pixels (input routing tells).
  void SetPointerPlace(int x, int y);
  // Re-evaluates the pointer shape (after pointers or visibility changed).
  void UpdatePointer();
  // The pointer shown now (tests read it).
  const MousePointer& CurrentPointer() const { return current_; }

  // What is drawn over the forms (nullptr: nothing).
  void SetOverlay(ScreenOverlay* overlay) { overlay_ = overlay; }

 private:
  void ComposeForm(Form& form);
  void ComposeControl(Control& c, const SDL_Rect& clip);
  void ApplyPointer(Control* c, Form* f);
  bool Unshown() const;
  bool CanShow() const;

  static constexpr SDL_Rect kWholeScreen{0, 0, kScreenWidthPx, kScreenHeightPx};

  OwnedSurface surface_;
  SDL_Rect dirty_{0, 0, 0, 0};
  // Composed but not yet shown.
  SDL_Rect unshown_{0, 0, 0, 0};
  uint64_t lastPresent_ = 0;
  ScreenOverlay* overlay_ = nullptr;

  int pointerX_ = -1, pointerY_ = -1;
  MousePointer current_;
  OwnedCursor cursor_;
  uint64_t cursorKey_ = 0;
};

}  // namespace vark
