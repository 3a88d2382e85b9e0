// Showing the picture: what was composed goes to the game's window at most once per
// display refresh, and the window follows what the front form is doing.
#include "platform/forms/form.h"
#include "platform/forms/screen.h"
#include "platform/runtime/app.h"
#include "platform/video/window.h"

namespace vark {
namespace {

constexpr uint64_t kFrameMs = 16;  // at most one showing per display refresh (60 Hz)

}  // namespace

void Screen::Present() {
  Compose();
  if (!CanShow()) return;
  GameWindow& window = GameWindow::Get();
  if (!window.Handle() || !Unshown()) return;
  window.Show(*surface_, unshown_);
  unshown_ = SDL_Rect{0, 0, 0, 0};
  lastPresent_ = App::Get().Now();
}

bool Screen::Unshown() const { return GameWindow::Get().WantsWholePicture() || (unshown_.w > 0 && unshown_.h > 0); }

// Before the window first appears, something must be there to show: a program that ends
// at start-up never opens a window. Once it is up, the picture is shown whatever it holds.
bool Screen::CanShow() const {
  const GameWindow& window = GameWindow::Get();
  return window.Wanted() && (window.Shown() || !Forms::ZOrder().empty());
}

void Screen::PresentIfDue(uint64_t now) {
  if (App::Get().Ended()) return;  // a program on its way out opens no window
  if (!GameWindow::Get().Wanted()) {
    Compose();
    return;
  }
  if ((Dirty() || Unshown()) && now >= lastPresent_ + kFrameMs) Present();
}

uint64_t Screen::NextPresentTime() const {
  if (!CanShow() || !(Dirty() || Unshown())) return UINT64_MAX;
  return lastPresent_ + kFrameMs;
}

void Screen::FollowActivity() {
  GameWindow& window = GameWindow::Get();
  Form* front = Forms::Active();
  window.Follow(front && !window.PlayerAway() ? front->CurrentActivity() : Activity::Idle);
}

}  // namespace vark
