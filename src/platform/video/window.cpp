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

// The first window's place on a display, in the area its panels leave free.
SDL_Rect FirstPlaceOn(int display) {
  SDL_Rect usable, bounds;
  if (SDL_GetDisplayBounds(display, &bounds) == 0)
    if (auto free = AreaNoPanelCovers(bounds)) return FirstWindowPlace(*free);
  if (SDL_GetDisplayUsableBounds(display, &usable) != 0) usable = SDL_Rect{0, 0, kScreenWidthPx, kScreenHeightPx};
  return FirstWindowPlace(usable);
}

// The same on a monitor: the area SDL's display of that place leaves free, else all of it.
SDL_Rect FirstPlaceOn(const SDL_Rect& monitor) {
  for (int i = 0; i < SDL_GetNumVideoDisplays(); ++i) {
    SDL_Rect bounds;
    if (SDL_GetDisplayBounds(i, &bounds) == 0 && SDL_RectEquals(&bounds, &monitor)) return FirstPlaceOn(i);
  }
  return FirstWindowPlace(monitor);
}

// The monitor holding most of a window's place, else the first one.
SDL_Rect NearestMonitor(const SDL_Rect& place, const std::vector<SDL_Rect>& monitors) {
  SDL_Rect best = monitors.front();
  int bestArea = 0;
  for (const SDL_Rect& monitor : monitors) {
    SDL_Rect shared;
    int area = SDL_IntersectRect(&place, &monitor, &shared) ? shared.w * shared.h : 0;
    if (area > bestArea) {
      best = monitor;
      bestArea = area;
    }
  }
  return best;
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
  const bool hadWindow = window_ != nullptr;
  if (hadWindow) BeforeDestroyingWindow();
  *this = GameWindow();
  if (hadWindow) WindowDestroyed();
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
  EndGameWhenWindowDestroyed(window_.get());
  // A window made full screen has not been a window yet: nobody knows its place but the game.
  managerHasPlace_ = !fullscreen_;
  SDL_SetWindowMinimumSize(window_.get(), kSmallestWidth, kSmallestHeight);
  presenter_ = Presenter::Make(window_.get());
  SDL_StartTextInput();
  // X tells of monitors switched off only in its own events, which SDL passes on when asked.
  SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
}

// Where the player left the window, no larger than the display showing it; else a first
// window on the start display.
void GameWindow::ChoosePlace(int display) {
  const bool remembered = place_.w > 0 && place_.h > 0;
  if (auto fitted = PlaceOnDisplays(place_, DisplayBounds()); remembered && fitted) {
    place_ = *fitted;
    place_.w = std::max(place_.w, kSmallestWidth);
    place_.h = std::max(place_.h, kSmallestHeight);
    return;
  }
  if (remembered)
    std::cerr << "vark: no monitor shows the window's remembered place " << WindowPlaceText(place_)
              << "; it opens in its usual place\n";
  place_ = FirstPlaceOn(display);
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
// not moved or resized first (a window manager would keep its frame's offset). A window
// manager puts the window back where it was when it leaves full screen, exactly, and
// maximised again if it was: the game sets nothing then, since a place set at once would
// be taken while the window still has no frame and move it by the frame's size. The game
// places the window itself only where the manager never saw it as a window (it started
// full screen) or where no manager runs; there, too, nothing sizes it for full screen, and
// SDL ignores a size asked of a full-screen window: so it covers its display first.
void GameWindow::ApplyMode() {
  if (window_) {
    const bool managed = WindowManagerRuns(window_.get());
    if (fullscreen_) {
      maximisedAsWindow_ = (SDL_GetWindowFlags(window_.get()) & SDL_WINDOW_MAXIMIZED) != 0;
      if (!managed) CoverDisplay();
      SDL_SetWindowFullscreen(window_.get(), SDL_WINDOW_FULLSCREEN_DESKTOP);
    } else {
      SDL_SetWindowFullscreen(window_.get(), 0);
      if (!managed || !managerHasPlace_) PutInPlace();
      else if (maximisedAsWindow_ && !(SDL_GetWindowFlags(window_.get()) & SDL_WINDOW_MAXIMIZED))
        SDL_MaximizeWindow(window_.get());
      managerHasPlace_ = managed;
    }
  }
  Repaint();
}

void GameWindow::PutInPlace() {
  if (SDL_GetWindowFlags(window_.get()) & SDL_WINDOW_MAXIMIZED) return;
  SDL_SetWindowSize(window_.get(), place_.w, place_.h);
  SDL_SetWindowPosition(window_.get(), place_.x, place_.y);
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
  if (on) {
    SDL_DisableScreenSaver();
  } else {
    SDL_EnableScreenSaver();
    LetXScreenSaverRun(window_.get());
  }
}

// A monitor came or went. A remembered place no monitor shows any more becomes a first
// window on the monitor the game is on; a full-screen window that no monitor shows goes
// there, full screen again, and so does a window where no manager would move it.
void GameWindow::DisplaysChanged() {
  std::vector<SDL_Rect> monitors = MonitorsShown(window_.get());
  if (monitors.empty()) monitors = DisplayBounds();
  if (monitors.empty()) return;
  SDL_Rect now{};
  if (window_) {
    SDL_GetWindowPosition(window_.get(), &now.x, &now.y);
    SDL_GetWindowSize(window_.get(), &now.w, &now.h);
  }
  if (!PlaceOnDisplays(place_, monitors)) place_ = FirstPlaceOn(NearestMonitor(now, monitors));
  if (!window_ || PlaceOnDisplays(now, monitors) || (!fullscreen_ && WindowManagerRuns(window_.get()))) return;
  std::cerr << "vark: the game's monitor went away; the game moves to another one\n";
  if (fullscreen_) SDL_SetWindowFullscreen(window_.get(), 0);
  PutInPlace();
  if (fullscreen_) SDL_SetWindowFullscreen(window_.get(), SDL_WINDOW_FULLSCREEN_DESKTOP);
  Repaint();
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
    case SDL_WINDOWEVENT_DISPLAY_CHANGED: DisplaysChanged(); break;
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
