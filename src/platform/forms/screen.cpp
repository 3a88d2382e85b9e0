// The compositor: the visible forms, back to front, drawn into the 640 x 480 picture where
// it changed. Showing the picture is screen_present.cpp's job, the pointer's shape is
// screen_pointer.cpp's.
#include <SDL_image.h>

#include <algorithm>

#include "platform/base/run_state.h"
#include "platform/forms/form.h"
#include "platform/forms/screen.h"
#include "platform/video/paint.h"
#include "platform/video/window.h"

namespace vark {

Screen& Screen::Get() { return CurrentRun().Get<Screen>(); }

void Screen::Init(bool withWindow, bool fullscreen) {
  if (!surface_)
    surface_.reset(SDL_CreateRGBSurfaceWithFormat(0, kScreenWidthPx, kScreenHeightPx, 32, SDL_PIXELFORMAT_ARGB8888));
  InvalidateAll();
  // The window is made now, hidden, because making it can take a moment; it appears with
  // the first picture, so a program that ends at start-up never shows one.
  GameWindow::Get().Configure(withWindow, fullscreen);
  if (GameWindow::Get().Handle()) UpdatePointer();
}

void Screen::Shutdown() {
  GameWindow::Get().Close();
  ScreenOverlay* overlay = overlay_;  // what is drawn over the forms stays
  *this = Screen();
  overlay_ = overlay;
}

void Screen::Invalidate(const SDL_Rect& r) {
  SDL_Rect clipped;
  if (!SDL_IntersectRect(&r, &kWholeScreen, &clipped)) return;
  if (!Dirty()) dirty_ = clipped;
  else SDL_UnionRect(&dirty_, &clipped, &dirty_);
}

void Screen::InvalidateAll() { dirty_ = kWholeScreen; }

void Screen::Compose() {
  if (!surface_ || !Dirty()) return;
  if (overlay_) overlay_->BeforeCompose();
  SDL_SetClipRect(surface_.get(), &dirty_);
  // Each visible form fills the whole area with its colour first; without one it is black.
  const auto& forms = Forms::ZOrder();
  if (std::none_of(forms.begin(), forms.end(), [](const Form* f) { return f->Visible(); }))
    SDL_FillRect(surface_.get(), &dirty_, SDL_MapRGB(surface_->format, 0, 0, 0));
  for (Form* f : forms) ComposeForm(*f);
  if (overlay_) overlay_->Draw(surface_.get(), dirty_);
  SDL_SetClipRect(surface_.get(), nullptr);
  if (unshown_.w > 0 && unshown_.h > 0) SDL_UnionRect(&unshown_, &dirty_, &unshown_);
  else unshown_ = dirty_;
  dirty_ = SDL_Rect{0, 0, 0, 0};
}

void Screen::ComposeForm(Form& form) {
  if (!form.Visible()) return;
  SDL_Rect clip = dirty_;
  SDL_SetClipRect(surface_.get(), &clip);
  FillRect(surface_.get(), clip, form.BackColor());
  for (Control* c : form.TopLevel()) ComposeControl(*c, clip);
}

void Screen::ComposeControl(Control& c, const SDL_Rect& clip) {
  if (!c.Visible() || c.Covered()) return;
  SDL_Rect box = c.ScreenBox();
  // A control outside the changed area (or off the screen) has nothing to draw there, nor
  // have its children, which are cut at its edges.
  SDL_Rect inner;
  if (!SDL_IntersectRect(&box, &clip, &inner)) return;
  SDL_SetClipRect(surface_.get(), &clip);
  c.Draw(surface_.get(), box);
  if (c.Children().empty()) return;
  for (Control* child : c.Children()) ComposeControl(*child, inner);
}

bool Screen::SavePng(const std::string& path) {
  Compose();
  return surface_ && IMG_SavePNG(surface_.get(), path.c_str()) == 0;
}

uint32_t Screen::PixelAt(int x, int y) {
  Compose();
  if (!surface_ || x < 0 || y < 0 || x >= surface_->w || y >= surface_->h) return 0;
  return static_cast<uint32_t*>(surface_->pixels)[y * (surface_->pitch / 4) + x] & 0x00FFFFFFu;
}

}  // namespace vark
