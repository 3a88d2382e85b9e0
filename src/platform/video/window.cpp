#include "platform/video/window.h"

#include <algorithm>
#include <iostream>

#include "platform/base/geometry.h"
#include "platform/base/run_state.h"
#include "platform/video/window_identity.h"
#include "platform/video/window_manager.h"
#include "platform/video/window_place.h"
#include "platform/video/window_rules.h"

namespace vark {
namespace {

constexpr int kSmallestWidth = 320, kSmallestHeight = 240;
// How much of a remembered place must lie on a display to be taken again: enough of its
// top to grab and move the window.
constexpr int kGrabbableWidth = 64, kGrabbableHeight = 32;

// The display holding the pointer, else the primary one (SDL lists it first).
int StartDisplay() {
  SDL_Point pointer;
  SDL_GetGlobalMouseState(&pointer.x, &pointer.y);
  for (int i = 0; i < SDL_GetNumVideoDisplays(); ++i) {
    SDL_Rect bounds;
    if (SDL_GetDisplayBounds(i, &bounds) == 0 && SDL_PointInRect(&pointer, &bounds)) return i;
  }
  return 0;
}

bool OnSomeDisplay(const SDL_Rect& place) {
  const SDL_Rect top{place.x, place.y, std::min(place.w, kGrabbableWidth), kGrabbableHeight};
  for (int i = 0; i < SDL_GetNumVideoDisplays(); ++i) {
    SDL_Rect bounds, shown;
    if (SDL_GetDisplayBounds(i, &bounds) == 0 && SDL_IntersectRect(&top, &bounds, &shown) &&
        SDL_RectEquals(&shown, &top))
      return true;
  }
  return false;
}

}  // namespace

GameWindow& GameWindow::Get() { return CurrentRun().Get<GameWindow>(); }

void GameWindow::Configure(bool withWindow, bool fullscreen) {
  wanted_ = withWindow;
  fullscreen_ = fullscreen && !PageSizesWindow();
  prefersFullscreen_ = fullscreen_;
  Open();
}

void GameWindow::Close() {
  presenter_.reset();  // its renderer goes before the window it draws into
  *this = GameWindow();
}

void GameWindow::Open() {
  if (window_ || !wanted_) return;
  if (PageSizesWindow()) place_ = SDL_Rect{0, 0, kScreenWidthPx, kScreenHeightPx};
  else ChoosePlace(StartDisplay());
  // Full screen opens covering the display of the window's place (a remembered one, or
  // the first one on the start display), also where no window manager would size it:
  // Alt+Enter then gives the window on the same monitor.
  SDL_Rect box = place_;
  const int display = SDL_GetRectDisplayIndex(&place_);
  if (fullscreen_ && (display < 0 || SDL_GetDisplayBounds(display, &box) != 0)) box = place_;
  Uint32 flags = SDL_WINDOW_HIDDEN | (PageSizesWindow() ? 0 : SDL_WINDOW_RESIZABLE) |
                 (fullscreen_ ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
  window_.reset(SDL_CreateWindow(title_.c_str(), box.x, box.y, box.w, box.h, flags));
  if (!window_) {
    std::cerr << "vark: cannot open a window: " << SDL_GetError() << "\n";
    wanted_ = false;
    return;
  }
  SetGameWindowIcon(window_.get());
  SDL_SetWindowMinimumSize(window_.get(), kSmallestWidth, kSmallestHeight);
  presenter_ = Presenter::Make(window_.get());
  SDL_StartTextInput();
}

// Where the player left the window, while a display still shows it; else a first window
// on the start display.
void GameWindow::ChoosePlace(int display) {
  if (place_.w >= kSmallestWidth && place_.h >= kSmallestHeight && OnSomeDisplay(place_)) return;
  SDL_Rect usable;
  if (SDL_GetDisplayUsableBounds(display, &usable) != 0) usable = SDL_Rect{0, 0, kScreenWidthPx, kScreenHeightPx};
  place_ = FirstWindowPlace(usable);
}

// The window appears with the first picture, and only then: from there on the window
// manager and the player decide whether it is seen. Showing it again after the player
// minimised it, or moved to another workspace, would bring it back, and SDL's show waits
// for the window to be mapped, which may not happen while the player is elsewhere.
void GameWindow::Show(const SDL_Surface& picture, const SDL_Rect& changed) {
  if (!presenter_) return;
  presenter_->Show(picture, wholePicture_ ? SDL_Rect{0, 0, picture.w, picture.h} : changed);
  wholePicture_ = false;
  if (shown_) return;
  shown_ = true;
  SDL_ShowWindow(window_.get());
  wholePicture_ = true;  // the first picture went to a window not yet on screen
}

SDL_Point GameWindow::ToPicture(int x, int y) const {
  return presenter_ ? presenter_->ToPicture(x, y) : SDL_Point{x, y};
}

void GameWindow::SetTitle(std::string title) {
  title_ = std::move(title);
  if (window_) SDL_SetWindowTitle(window_.get(), title_.c_str());
}

void GameWindow::SetFullscreen(bool on) {
  if (PageSizesWindow()) return;
  prefersFullscreen_ = on;
  if (on == fullscreen_) return;
  fullscreen_ = on;
  ApplyMode();
}

void GameWindow::ShowDesktopMode() {
  if (!fullscreen_) return;
  fullscreen_ = false;
  ApplyMode();
}

// Full screen is SDL's desktop full screen on the monitor the window is on; the window is
// not moved or resized first (a window manager would keep its frame's offset). On the way
// back the window returns to its place: without a window manager nothing else would give
// it its size again. Without one, nothing sizes it for full screen either, and SDL ignores a
// size asked of a full-screen window: so there it covers its display first.
void GameWindow::ApplyMode() {
  if (window_) {
    if (fullscreen_) {
      if (!WindowManagerRuns(window_.get())) CoverDisplay();
      SDL_SetWindowFullscreen(window_.get(), SDL_WINDOW_FULLSCREEN_DESKTOP);
    } else {
      SDL_SetWindowFullscreen(window_.get(), 0);
      if (!(SDL_GetWindowFlags(window_.get()) & SDL_WINDOW_MAXIMIZED)) {
        SDL_SetWindowSize(window_.get(), place_.w, place_.h);
        SDL_SetWindowPosition(window_.get(), place_.x, place_.y);
      }
    }
  }
  Repaint();
}

void GameWindow::CoverDisplay() {
  SDL_Rect bounds;
  if (SDL_GetDisplayBounds(std::max(0, SDL_GetWindowDisplayIndex(window_.get())), &bounds) != 0) return;
  SDL_SetWindowSize(window_.get(), bounds.w, bounds.h);
  SDL_SetWindowPosition(window_.get(), bounds.x, bounds.y);
}

void GameWindow::Repaint() {
  if (presenter_) presenter_->WindowChanged();
  wholePicture_ = true;
}

// The place is the one of the plain window: full screen, maximised or minimised it stays
// what it was.
void GameWindow::NotePlace() {
  constexpr Uint32 kNotPlain = SDL_WINDOW_FULLSCREEN | SDL_WINDOW_MAXIMIZED | SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN;
  if (!window_ || fullscreen_ || (SDL_GetWindowFlags(window_.get()) & kNotPlain)) return;
  SDL_GetWindowPosition(window_.get(), &place_.x, &place_.y);
  SDL_GetWindowSize(window_.get(), &place_.w, &place_.h);
}

// A new window asks for the position of its frame's corner (window managers put the frame
// there), so the place is kept with the frame's corner to open the window where it was.
SDL_Rect GameWindow::FramePlace() const {
  int top = 0, left = 0;
  if (window_) SDL_GetWindowBordersSize(window_.get(), &top, &left, nullptr, nullptr);
  return SDL_Rect{place_.x - left, place_.y - top, place_.w, place_.h};
}

void GameWindow::Follow(Activity doing) {
  KeepDisplayAwake(doing != Activity::Idle);
  ConfinePointer(doing == Activity::SteeredRound && fullscreen_);
}

void GameWindow::KeepDisplayAwake(bool on) {
  if (on != SDL_IsScreenSaverEnabled()) return;
  if (on) SDL_DisableScreenSaver();
  else SDL_EnableScreenSaver();
}

// A full-screen window holding the pointer keeps it on the window's monitor.
void GameWindow::ConfinePointer(bool on) {
  if (on == pointerConfined_) return;
  pointerConfined_ = on;
  if (window_) SDL_SetWindowMouseGrab(window_.get(), on ? SDL_TRUE : SDL_FALSE);
}

// The window needs the whole picture again when it was uncovered or changed size; the
// pointer entering or leaving changes nothing on it. Focus and minimising tell whether the
// player is there.
bool GameWindow::HandleWindowEvent(const SDL_WindowEvent& e) {
  bool presence = false;
  switch (e.event) {
    case SDL_WINDOWEVENT_FOCUS_LOST: return SetPresence(false, outOfSight_);
    case SDL_WINDOWEVENT_FOCUS_GAINED: return SetPresence(true, outOfSight_);
    case SDL_WINDOWEVENT_MINIMIZED:
    case SDL_WINDOWEVENT_HIDDEN: return SetPresence(focused_, true);
    case SDL_WINDOWEVENT_MOVED: NotePlace(); return false;
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED: presence = SetPresence(focused_, false); break;
    case SDL_WINDOWEVENT_RESIZED:
    case SDL_WINDOWEVENT_SIZE_CHANGED: NotePlace(); break;
    case SDL_WINDOWEVENT_EXPOSED: break;
    default: return false;
  }
  Repaint();
  return presence;
}

bool GameWindow::SetPresence(bool focused, bool outOfSight) {
  bool wasAway = PlayerAway();
  focused_ = focused;
  outOfSight_ = outOfSight;
  return PlayerAway() != wasAway;
}

}  // namespace vark
