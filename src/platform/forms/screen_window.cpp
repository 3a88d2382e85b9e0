// The window and showing the picture: the window's place as a window and full screen on
// the monitor it is on, what the display does for the screen in front (screensaver,
// pointer), whether the player is there, and the composed picture handed to the presenter
// at most once per refresh.
#include <algorithm>
#include <iostream>

#include "platform/runtime/app.h"
#include "platform/video/display.h"
#include "platform/forms/form.h"
#include "platform/forms/screen.h"
#include "platform/video/window_identity.h"
#include "platform/video/window_manager.h"

namespace vark {
namespace {

constexpr uint64_t kFrameMs = 16;  // at most one showing per display refresh (60 Hz)
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

void Screen::EnsureWindow() {
  if (window_ || !wantWindow_) return;
  ChoosePlace(StartDisplay());
  // Full screen opens covering the display of the window's place (a remembered one, or
  // the first one on the start display), also where no window manager would size it:
  // Alt+Enter then gives the window on the same monitor.
  SDL_Rect box = place_;
  const int display = SDL_GetRectDisplayIndex(&place_);
  if (fullscreen_ && (display < 0 || SDL_GetDisplayBounds(display, &box) != 0)) box = place_;
  Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE | (fullscreen_ ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
  window_.reset(SDL_CreateWindow(title_.c_str(), box.x, box.y, box.w, box.h, flags));
  if (!window_) {
    std::cerr << "vark: cannot open a window: " << SDL_GetError() << "\n";
    wantWindow_ = false;
    return;
  }
  SetGameWindowIcon(window_.get());
  SDL_SetWindowMinimumSize(window_.get(), kSmallestWidth, kSmallestHeight);
  presenter_ = Presenter::Make(window_.get());
  SDL_StartTextInput();
  UpdatePointer();
}

// Where the player left the window, while a display still shows it; else a first window
// on the start display.
void Screen::ChoosePlace(int display) {
  if (place_.w >= kSmallestWidth && place_.h >= kSmallestHeight && OnSomeDisplay(place_)) return;
  SDL_Rect usable;
  if (SDL_GetDisplayUsableBounds(display, &usable) != 0) usable = SDL_Rect{0, 0, kScreenWidthPx, kScreenHeightPx};
  place_ = FirstWindowPlace(usable);
}

void Screen::SetTitle(std::string title) {
  title_ = std::move(title);
  if (window_) SDL_SetWindowTitle(window_.get(), title_.c_str());
}

void Screen::SetFullscreen(bool on) {
  prefersFullscreen_ = on;
  if (on == fullscreen_) return;
  fullscreen_ = on;
  ApplyWindowMode();
}

void Screen::ShowDesktopMode() {
  if (!fullscreen_) return;
  fullscreen_ = false;
  ApplyWindowMode();
}

// Full screen is SDL's desktop full screen on the monitor the window is on; the window is
// not moved or resized first (a window manager would keep its frame's offset). On the way
// back the window returns to its place: without a window manager nothing else would give
// it its size again. Without one, nothing sizes it for full screen either, and SDL ignores a
// size asked of a full-screen window: so there it covers its display first.
void Screen::ApplyWindowMode() {
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
    presenter_->WindowChanged();
  }
  showAll_ = true;
}

void Screen::CoverDisplay() {
  SDL_Rect bounds;
  if (SDL_GetDisplayBounds(std::max(0, SDL_GetWindowDisplayIndex(window_.get())), &bounds) != 0) return;
  SDL_SetWindowSize(window_.get(), bounds.w, bounds.h);
  SDL_SetWindowPosition(window_.get(), bounds.x, bounds.y);
}

// The place is the one of the plain window: full screen, maximised or minimised it stays
// what it was.
void Screen::NotePlace() {
  constexpr Uint32 kNotPlain = SDL_WINDOW_FULLSCREEN | SDL_WINDOW_MAXIMIZED | SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN;
  if (!window_ || fullscreen_ || (SDL_GetWindowFlags(window_.get()) & kNotPlain)) return;
  SDL_GetWindowPosition(window_.get(), &place_.x, &place_.y);
  SDL_GetWindowSize(window_.get(), &place_.w, &place_.h);
}

// A new window asks for the position of its frame's corner (window managers put the frame
// there), so the place is kept with the frame's corner to open the window where it was.
SDL_Rect Screen::FramePlace() const {
  int top = 0, left = 0;
  if (window_) SDL_GetWindowBordersSize(window_.get(), &top, &left, nullptr, nullptr);
  return SDL_Rect{place_.x - left, place_.y - top, place_.w, place_.h};
}

void Screen::FollowActivity() {
  Form* front = Forms::Active();
  Activity doing = front && !PlayerAway() ? front->CurrentActivity() : Activity::Idle;
  KeepDisplayAwake(doing != Activity::Idle);
  ConfinePointer(doing == Activity::SteeredRound && fullscreen_);
}

void Screen::KeepDisplayAwake(bool on) {
  if (on != SDL_IsScreenSaverEnabled()) return;
  if (on) SDL_DisableScreenSaver();
  else SDL_EnableScreenSaver();
}

// A full-screen window holding the pointer keeps it on the window's monitor.
void Screen::ConfinePointer(bool on) {
  if (on == pointerConfined_) return;
  pointerConfined_ = on;
  if (window_) SDL_SetWindowMouseGrab(window_.get(), on ? SDL_TRUE : SDL_FALSE);
}

void Screen::Present() {
  Compose();
  if (!CanShow()) return;
  EnsureWindow();
  if (!presenter_ || !Unshown()) return;
  presenter_->Show(*surface_, showAll_ ? kWholeScreen : unshown_);
  unshown_ = SDL_Rect{0, 0, 0, 0};
  showAll_ = false;
  if (!windowShown_) ShowWindowOnce();
  lastPresent_ = App::Get().Now();
}

// The window appears with the first picture, and only then: from there on the window
// manager and the player decide whether it is seen. Showing it again after the player
// minimised it, or moved to another workspace, would bring it back, and SDL's show waits
// for the window to be mapped, which may not happen while the player is elsewhere.
void Screen::ShowWindowOnce() {
  windowShown_ = true;
  SDL_ShowWindow(window_.get());
  showAll_ = true;  // the first picture went to a window not yet on screen
}

// Before the window first appears, something must be there to show: a program that ends
// at start-up never opens a window. Once it is up, the picture is shown whatever it holds.
bool Screen::CanShow() const { return wantWindow_ && (windowShown_ || !Forms::ZOrder().empty()); }

void Screen::PresentIfDue(uint64_t now) {
  if (App::Get().Ended()) return;  // a program on its way out opens no window
  if (!wantWindow_) {
    Compose();
    return;
  }
  if ((Dirty() || Unshown()) && now >= lastPresent_ + kFrameMs) Present();
}

uint64_t Screen::NextPresentTime() const {
  if (!CanShow() || !(Dirty() || Unshown())) return UINT64_MAX;
  return lastPresent_ + kFrameMs;
}

// The window needs the whole picture again when it was uncovered or changed size; the
// pointer entering or leaving changes nothing on it. Focus and minimising tell whether the
// player is there.
void Screen::WindowEvent(const SDL_WindowEvent& e) {
  switch (e.event) {
    case SDL_WINDOWEVENT_FOCUS_LOST: SetAway(false, outOfSight_); return;
    case SDL_WINDOWEVENT_FOCUS_GAINED: SetAway(true, outOfSight_); return;
    case SDL_WINDOWEVENT_MINIMIZED:
    case SDL_WINDOWEVENT_HIDDEN: SetAway(focused_, true); return;
    case SDL_WINDOWEVENT_MOVED: NotePlace(); return;
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED: SetAway(focused_, false); break;
    case SDL_WINDOWEVENT_RESIZED:
    case SDL_WINDOWEVENT_SIZE_CHANGED: NotePlace(); break;
    case SDL_WINDOWEVENT_EXPOSED: break;
    default: return;
  }
  if (presenter_) presenter_->WindowChanged();
  showAll_ = true;
}

void Screen::SetAway(bool focused, bool outOfSight) {
  bool wasAway = PlayerAway();
  focused_ = focused;
  outOfSight_ = outOfSight;
  if (PlayerAway() != wasAway) Forms::PlayerAway(PlayerAway());
}

SDL_Point Screen::PicturePoint(int x, int y) const {
  return presenter_ ? presenter_->ToPicture(x, y) : SDL_Point{x, y};
}

}  // namespace vark
