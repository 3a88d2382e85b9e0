// The screen: composes the visible forms into one 640 x 480 picture in software, only
// where something changed (screen.cpp), and shows it in a window scaled to the display with
// the aspect ratio kept (screen_window.cpp, through a presenter). It also routes mouse and
// keyboard input to forms and controls (input_router.cpp) and shows the mouse pointer's
// shape (screen_pointer.cpp).
#pragma once

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <string>

#include "platform/forms/control.h"
#include "platform/base/owned.h"
#include "platform/video/presenter.h"

namespace vark {

class Control;
class Form;

class Screen {
 public:
  static Screen& Get();

  // With a window the picture is shown on the display; without one (tests) it is only
  // composed, and can be saved or inspected.
  void Init(bool withWindow, bool fullscreen);
  void Shutdown();
  bool HasWindow() const { return window_ != nullptr; }
  SDL_Window* Window() const { return window_.get(); }

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
  // refresh ago; returns the time at which the next showing may happen.
  void PresentIfDue(uint64_t now);
  // When the loop should wake up to draw (UINT64_MAX when nothing waits).
  uint64_t NextPresentTime() const;

  bool SavePng(const std::string& path);
  uint32_t PixelAt(int x, int y);

  // The window's title (before Init, or at any time).
  void SetTitle(std::string title);

  // Where the window goes as a window (set before Init): the place the player left it last
  // time. A place no display shows any more is not taken.
  void SetWindowPlace(const SDL_Rect& place) { place_ = place; }
  // The window's place as a window now, kept while it is full screen or maximised.
  SDL_Rect WindowPlace() const { return place_; }
  // The same with the corner of the window manager's frame: the place to open it at again.
  SDL_Rect FramePlace() const;
  bool WindowShown() const { return windowShown_; }

  // After each event: the display does what the front form's activity asks (the
  // screensaver held off, the pointer kept on the game's monitor), unless the player is away.
  void FollowActivity();
  bool PointerConfined() const { return pointerConfined_; }

  // The player's choice (at start and by Alt+Enter): full screen or a window.
  void SetFullscreen(bool on);
  bool Fullscreen() const { return fullscreen_; }
  // A screen asks for the game's 640 x 480 mode: full screen unless the player chose a
  // window, which shows the same picture.
  void ShowGameMode() { SetFullscreen(prefersFullscreen_); }
  // The desktop's own mode is asked for: the window leaves full screen.
  void ShowDesktopMode();
  // How the picture reaches the display ("" without a window).
  const char* PresentPath() const { return presenter_ ? presenter_->Name() : ""; }

  // The player is away: the window has no input focus, or is minimised or hidden.
  bool PlayerAway() const { return !focused_ || outOfSight_; }

  // Input, in screen pixels.
  void HandleEvent(const SDL_Event& e);
  void MouseMove(int x, int y);
  void MouseDown(int x, int y, int button);
  void MouseUp(int x, int y, int button);
  // A key pressed with the code its layout gives it; `scan` is its place on the keyboard
  // (unknown, it is taken from the code). Command letters follow a Latin layout's labels and
  // another script's places (keys.h).
  void KeyDown(SDL_Keycode layoutKey, uint16_t mod, SDL_Scancode scan = SDL_SCANCODE_UNKNOWN);
  void TextInput(const std::string& utf8);

  // The control under a screen point (nullptr: the form's own surface), and its form.
  Control* ControlAt(int x, int y, Form** form) const;

  // Forgets references into a form that is being destroyed.
  void Forget(const Form& form);
  // Re-evaluates the pointer shape (after pointers or visibility changed).
  void UpdatePointer();
  // The pointer shown now (tests read it).
  const MousePointer& CurrentPointer() const { return current_; }

 private:
  void ComposeForm(Form& form);
  void ComposeControl(Control& c, const SDL_Rect& clip);
  void EnsureWindow();
  void ChoosePlace(int display);
  void NotePlace();
  void KeepDisplayAwake(bool on);
  void ConfinePointer(bool on);
  void ApplyPointer(Control* c, Form* f);
  void ApplyWindowMode();
  void CoverDisplay();  // the window as large as its display, where no window manager sizes it
  void WindowEvent(const SDL_WindowEvent& e);
  void SetAway(bool focused, bool outOfSight);
  bool Unshown() const { return showAll_ || (unshown_.w > 0 && unshown_.h > 0); }
  bool CanShow() const;
  void ShowWindowOnce();
  SDL_Point PicturePoint(int x, int y) const;
  void SetHover(Control* c);
  // The button the left mouse button went down on looks pressed while the pointer is on it.
  void ShowPressed(bool on);

  static constexpr SDL_Rect kWholeScreen{0, 0, kScreenWidthPx, kScreenHeightPx};

  OwnedWindow window_;
  std::unique_ptr<Presenter> presenter_;
  OwnedSurface surface_;
  bool wantWindow_ = false;
  bool fullscreen_ = true;
  std::string title_;
  bool prefersFullscreen_ = true;
  SDL_Rect place_{0, 0, 0, 0};  // the window's place as a window, in desktop pixels
  bool pointerConfined_ = false;
  SDL_Rect dirty_{0, 0, 0, 0};
  // Composed but not yet shown; everything when the window needs the whole picture.
  SDL_Rect unshown_{0, 0, 0, 0};
  bool showAll_ = true;
  bool windowShown_ = false;  // shown once: from then on it is the window manager's
  // Until the window system says otherwise the player is taken to be there, so a window
  // system that reports no focus never holds the game.
  bool focused_ = true;
  bool outOfSight_ = false;
  uint64_t lastPresent_ = 0;

  int mouseX_ = -1, mouseY_ = -1;
  Control* captured_ = nullptr;
  Form* capturedForm_ = nullptr;
  int capturedButton_ = 0;
  // Set by a key pressed with Alt: the text that key would type is a command, not typing.
  bool swallowText_ = false;
  Control* hover_ = nullptr;
  MousePointer current_;
  OwnedCursor cursor_;
  uint64_t cursorKey_ = 0;
};

// Shift, Ctrl and Alt as the handlers see them: 1, 2 and 4.
int ShiftState(uint16_t mod);

}  // namespace vark
