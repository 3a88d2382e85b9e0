// The window and showing the picture: the window's size and place in full screen and as a
// window, and the composed picture handed to the presenter at most once per refresh.
#include <algorithm>
#include <iostream>

#include "platform/app.h"
#include "platform/form.h"
#include "platform/screen.h"
#include "platform/window_identity.h"

namespace vark {
namespace {

constexpr uint64_t kFrameMs = 16;  // at most one showing per display refresh (60 Hz)

}  // namespace

void Screen::EnsureWindow() {
  if (window_ || !wantWindow_) return;
  Uint32 flags = SDL_WINDOW_HIDDEN | (fullscreen_ ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
  SDL_Rect box = WindowBox();
  window_.reset(SDL_CreateWindow(title_.c_str(), box.x, box.y, box.w, box.h, flags));
  if (!window_) {
    std::cerr << "vark: cannot open a window: " << SDL_GetError() << "\n";
    wantWindow_ = false;
    return;
  }
  SetGameWindowIcon(window_.get());
  presenter_ = Presenter::Make(window_.get());
  SDL_StartTextInput();
  UpdatePointer();
}

SDL_Rect Screen::WindowBox() const {
  SDL_Rect usable{0, 0, kScreenWidthPx, kScreenHeightPx};
  SDL_DisplayMode desktop;
  // Full screen covers the whole display, also where no window manager resizes windows.
  if (fullscreen_ && SDL_GetDesktopDisplayMode(0, &desktop) == 0) return SDL_Rect{0, 0, desktop.w, desktop.h};
  if (SDL_GetDisplayUsableBounds(0, &usable) != 0)
    return SDL_Rect{SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 960, 720};
  // A window as large as fits, up to one and a half times the design size.
  double fit = std::min({1.5, usable.w * 0.95 / kScreenWidthPx, usable.h * 0.9 / kScreenHeightPx});
  int w = static_cast<int>(kScreenWidthPx * fit), h = static_cast<int>(kScreenHeightPx * fit);
  return SDL_Rect{usable.x + (usable.w - w) / 2, usable.y + (usable.h - h) / 2, w, h};
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

// SDL ignores a size asked of a full-screen window, and without a window manager nothing
// else sizes it: so the size is set while the window is not full screen, before entering
// and after leaving.
void Screen::ApplyWindowMode() {
  if (window_) {
    SDL_Rect box = WindowBox();
    if (!fullscreen_) SDL_SetWindowFullscreen(window_.get(), 0);
    SDL_SetWindowSize(window_.get(), box.w, box.h);
    SDL_SetWindowPosition(window_.get(), box.x, box.y);
    if (fullscreen_) SDL_SetWindowFullscreen(window_.get(), SDL_WINDOW_FULLSCREEN_DESKTOP);
    presenter_->WindowChanged();
  }
  showAll_ = true;
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
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED: SetAway(focused_, false); break;
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_RESIZED:
    case SDL_WINDOWEVENT_SIZE_CHANGED: break;
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
