// The game's window on the desktop: its place as a window, full screen on the monitor it
// is on, what the display does while a screen runs (the screensaver, the pointer kept on
// the game's monitor), whether the player is there, and showing a composed picture in it
// through a presenter.
#pragma once

#include <SDL.h>

#include <memory>
#include <string>

#include "platform/base/owned.h"
#include "platform/video/presenter.h"

namespace vark {

// What the screen in front asks of the display.
enum class Activity {
  Idle,          // menus and questions: the screensaver may start
  Watched,       // the player watches (the intro): the screensaver stays off
  Round,         // a round against the clock: the screensaver stays off
  SteeredRound,  // a round steered with the pointer: also, in full screen, the pointer
                 // stays on the game's monitor
};

class GameWindow {
 public:
  static GameWindow& Get();

  // Whether there is to be a window at all (none in tests: pictures are only composed),
  // and whether it starts full screen. The window is made at once, hidden: making it can
  // take a moment, and it appears with the first picture.
  void Configure(bool withWindow, bool fullscreen);
  // Closes the window; Configure opens one again.
  void Close();
  // A window is wanted, made or not yet.
  bool Wanted() const { return wanted_; }
  SDL_Window* Handle() const { return window_.get(); }
  // Shown once: from then on whether it is seen is the window manager's business.
  bool Shown() const { return shown_; }

  // Shows the part `changed` of the picture, or all of it when the window needs it (it
  // changed size, was uncovered, or shows for the first time).
  void Show(const SDL_Surface& picture, const SDL_Rect& changed);
  bool WantsWholePicture() const { return wholePicture_; }
  // A window point in picture pixels.
  SDL_Point ToPicture(int x, int y) const;
  // How the picture reaches the display ("" without a window).
  const char* PresentPath() const { return presenter_ ? presenter_->Name() : ""; }

  // The window's title (before it is made, or at any time).
  void SetTitle(std::string title);

  // Where the window goes as a window (set before it is made): the place the player left
  // it last time. A place no display shows any more is not taken.
  void SetPlace(const SDL_Rect& place) { place_ = place; }
  // The window's place as a window now, kept while it is full screen or maximised.
  SDL_Rect Place() const { return place_; }
  // The same with the corner of the window manager's frame: the place to open it at again.
  SDL_Rect FramePlace() const;

  // The player's choice (at start and by Alt+Enter): full screen or a window.
  void SetFullscreen(bool on);
  bool Fullscreen() const { return fullscreen_; }
  // A screen asks for the game's 640 x 480 mode: full screen unless the player chose a
  // window, which shows the same picture.
  void ShowGameMode() { SetFullscreen(prefersFullscreen_); }
  // The desktop's own mode is asked for: the window leaves full screen.
  void ShowDesktopMode();

  // What the screen in front is doing (Idle while the player is away): the screensaver is
  // held off and the pointer kept on the game's monitor as it asks.
  void Follow(Activity doing);
  bool PointerConfined() const { return pointerConfined_; }

  // A monitor came or went (SDL's display events): the window and its remembered place
  // move to a monitor that is there.
  void DisplaysChanged();

  // The player is away: the window has no input focus, or is minimised or hidden.
  bool PlayerAway() const { return !focused_ || outOfSight_; }
  // The window system's news about the window; true when the player went away or came
  // back with it.
  bool HandleWindowEvent(const SDL_WindowEvent& e);

 private:
  void Open();
  void ChoosePlace(int display);
  void NotePlace();
  void KeepDisplayAwake(bool on);
  void ConfinePointer(bool on);
  void ApplyMode();
  void PutInPlace();    // the window at its place, unless it is maximised
  void CoverDisplay();  // the window as large as its display, where no window manager sizes it
  void Repaint();       // the whole picture goes to the window at the next showing
  bool SetPresence(bool focused, bool outOfSight);

  OwnedWindow window_;
  std::unique_ptr<Presenter> presenter_;  // made with the window, gone before it
  bool wanted_ = false;
  bool fullscreen_ = true;
  bool prefersFullscreen_ = true;
  std::string title_;
  SDL_Rect place_{0, 0, 0, 0};  // the window's place as a window, in desktop pixels
  bool pointerConfined_ = false;
  // The window manager has had the window as a window and puts it back after full screen.
  bool managerHasPlace_ = false;
  bool maximisedAsWindow_ = false;  // maximised when it last went full screen
  bool shown_ = false;
  bool wholePicture_ = true;
  // Until the window system says otherwise the player is taken to be there, so a window
  // system that reports no focus never holds the game.
  bool focused_ = true;
  bool outOfSight_ = false;
};

}  // namespace vark
