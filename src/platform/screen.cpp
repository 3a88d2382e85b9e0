#include "platform/screen.h"

#include <SDL_image.h>

#include <algorithm>
#include <iostream>

#include "platform/app.h"
#include "platform/form.h"
#include "platform/mnemonic.h"
#include "platform/keys.h"

namespace vark {
namespace {

constexpr uint64_t kFrameMs = 16;  // at most one showing per display refresh (60 Hz)
const SDL_Rect kWholeScreen{0, 0, kScreenWidthPx, kScreenHeightPx};

Control* HitIn(const std::vector<Control*>& list, int x, int y) {
  SDL_Point p{x, y};
  for (auto it = list.rbegin(); it != list.rend(); ++it) {
    Control* c = *it;
    if (!c->Visible() || c->Covered()) continue;
    SDL_Rect b = c->ScreenBox();
    if (!SDL_PointInRect(&p, &b)) continue;
    if (Control* child = HitIn(c->Children(), x, y)) return child;
    if (c->TakesMouse()) return c;
  }
  return nullptr;
}

// Mouse position relative to a control, in its units.
void Relative(const Control* c, int x, int y, double& rx, double& ry) {
  if (!c) {
    rx = x * kTwipsPerPixel;
    ry = y * kTwipsPerPixel;
    return;
  }
  SDL_Rect b = c->ScreenBox();
  int scale = c->MeasuresInPixels() ? 1 : kTwipsPerPixel;
  rx = (x - b.x) * scale;
  ry = (y - b.y) * scale;
}

bool CanHaveFocus(const Control* c) {
  for (const Control* k = c; k; k = k->Parent())
    if (!k->Visible() || !k->Enabled()) return false;
  return c && c->TakesFocus();
}

// The control that receives keys: the focused one while it can take them, otherwise the
// first one in the form's order that can.
Control* KeyTarget(Form& f) {
  if (CanHaveFocus(f.Focused())) return f.Focused();
  for (const auto& c : f.AllControls())
    if (CanHaveFocus(c.get())) return c.get();
  return nullptr;
}

}  // namespace

int ShiftState(uint16_t mod) {
  return ((mod & KMOD_SHIFT) ? 1 : 0) | ((mod & KMOD_CTRL) ? 2 : 0) | ((mod & KMOD_ALT) ? 4 : 0);
}

Screen& Screen::Get() {
  static Screen screen;
  return screen;
}

void Screen::Init(bool withWindow, bool fullscreen) {
  wantWindow_ = withWindow;
  fullscreen_ = fullscreen;
  prefersFullscreen_ = fullscreen;
  if (!surface_) surface_ = SDL_CreateRGBSurfaceWithFormat(0, kScreenWidthPx, kScreenHeightPx, 32, SDL_PIXELFORMAT_ARGB8888);
  InvalidateAll();
  // The window is made now, hidden, because making it can take a moment; it appears with
  // the first picture, so a program that ends at start-up never shows one.
  EnsureWindow();
}

void Screen::Shutdown() {
  if (cursor_) SDL_FreeCursor(cursor_);
  presenter_.reset();
  if (window_) SDL_DestroyWindow(window_);
  if (surface_) SDL_FreeSurface(surface_);
  *this = Screen();
}

void Screen::EnsureWindow() {
  if (window_ || !wantWindow_) return;
  Uint32 flags = SDL_WINDOW_HIDDEN | (fullscreen_ ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
  SDL_Rect box = WindowBox();
  window_ = SDL_CreateWindow(title_.c_str(), box.x, box.y, box.w, box.h, flags);
  if (!window_) {
    std::cerr << "vark: cannot open a window: " << SDL_GetError() << "\n";
    wantWindow_ = false;
    return;
  }
  presenter_ = Presenter::Make(window_);
  SDL_StartTextInput();
  UpdatePointer();
}

SDL_Rect Screen::WindowBox() const {
  SDL_Rect usable{0, 0, kScreenWidthPx, kScreenHeightPx};
  SDL_DisplayMode desktop;
  // Full screen covers the whole display, also where no window manager resizes windows.
  if (fullscreen_ && SDL_GetDesktopDisplayMode(0, &desktop) == 0) return SDL_Rect{0, 0, desktop.w, desktop.h};
  if (SDL_GetDisplayUsableBounds(0, &usable) != 0) return SDL_Rect{SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 960, 720};
  // A window as large as fits, up to one and a half times the design size.
  double fit = std::min({1.5, usable.w * 0.95 / kScreenWidthPx, usable.h * 0.9 / kScreenHeightPx});
  int w = static_cast<int>(kScreenWidthPx * fit), h = static_cast<int>(kScreenHeightPx * fit);
  return SDL_Rect{usable.x + (usable.w - w) / 2, usable.y + (usable.h - h) / 2, w, h};
}

void Screen::SetTitle(std::string title) {
  title_ = std::move(title);
  if (window_) SDL_SetWindowTitle(window_, title_.c_str());
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
    if (!fullscreen_) SDL_SetWindowFullscreen(window_, 0);
    SDL_SetWindowSize(window_, box.w, box.h);
    SDL_SetWindowPosition(window_, box.x, box.y);
    if (fullscreen_) SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
    presenter_->WindowChanged();
  }
  showAll_ = true;
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
  SDL_SetClipRect(surface_, &dirty_);
  SDL_FillRect(surface_, &dirty_, SDL_MapRGB(surface_->format, 0, 0, 0));
  for (Form* f : Forms::ZOrder()) ComposeForm(*f);
  SDL_SetClipRect(surface_, nullptr);
  if (unshown_.w > 0 && unshown_.h > 0) SDL_UnionRect(&unshown_, &dirty_, &unshown_);
  else unshown_ = dirty_;
  dirty_ = SDL_Rect{0, 0, 0, 0};
}

void Screen::ComposeForm(Form& form) {
  if (!form.Visible()) return;
  SDL_Rect clip = dirty_;
  SDL_SetClipRect(surface_, &clip);
  FillRect(surface_, clip, form.BackColor());
  for (Control* c : form.TopLevel()) ComposeControl(*c, clip);
}

void Screen::ComposeControl(Control& c, const SDL_Rect& clip) {
  if (!c.Visible() || c.Covered()) return;
  SDL_Rect box = c.ScreenBox();
  SDL_SetClipRect(surface_, &clip);
  c.Draw(surface_, box);
  if (c.Children().empty()) return;
  SDL_Rect inner;
  if (!SDL_IntersectRect(&box, &clip, &inner)) return;
  for (Control* child : c.Children()) ComposeControl(*child, inner);
}

void Screen::Present() {
  Compose();
  if (!wantWindow_ || Forms::ZOrder().empty()) return;
  EnsureWindow();
  if (!presenter_ || !Unshown()) return;
  presenter_->Show(*surface_, showAll_ ? kWholeScreen : unshown_);
  unshown_ = SDL_Rect{0, 0, 0, 0};
  showAll_ = false;
  if (SDL_GetWindowFlags(window_) & SDL_WINDOW_HIDDEN) {
    SDL_ShowWindow(window_);
    SDL_RaiseWindow(window_);
    showAll_ = true;  // the first picture went to a window not yet on screen
  }
  lastPresent_ = App::Get().Now();
}

void Screen::PresentIfDue(uint64_t now) {
  if (App::Get().Ended()) return;  // a program on its way out opens no window
  if (!wantWindow_) {
    Compose();
    return;
  }
  if ((Dirty() || Unshown()) && now >= lastPresent_ + kFrameMs) Present();
}

uint64_t Screen::NextPresentTime() const {
  if (!wantWindow_ || !(Dirty() || Unshown())) return UINT64_MAX;
  return lastPresent_ + kFrameMs;
}

bool Screen::SavePng(const std::string& path) {
  Compose();
  return surface_ && IMG_SavePNG(surface_, path.c_str()) == 0;
}

uint32_t Screen::PixelAt(int x, int y) {
  Compose();
  if (!surface_ || x < 0 || y < 0 || x >= surface_->w || y >= surface_->h) return 0;
  return static_cast<uint32_t*>(surface_->pixels)[y * (surface_->pitch / 4) + x] & 0x00FFFFFFu;
}

// ---- input -----------------------------------------------------------------------------

Control* Screen::ControlAt(int x, int y, Form** form) const {
  Form* f = Forms::Active();
  if (form) *form = f;
  if (!f) return nullptr;
  Control* c = HitIn(f->TopLevel(), x, y);
  // A disabled control passes its mouse events to its container.
  while (c && !c->Enabled()) c = c->Parent();
  // Beside an open question the pointer meets only the form's own surface.
  return c && f->InputReaches(*c) ? c : nullptr;
}

void Screen::HandleEvent(const SDL_Event& e) {
  switch (e.type) {
    case SDL_MOUSEMOTION: {
      SDL_Point p = PicturePoint(e.motion.x, e.motion.y);
      MouseMove(p.x, p.y);
      break;
    }
    case SDL_MOUSEBUTTONDOWN: {
      SDL_Point p = PicturePoint(e.button.x, e.button.y);
      MouseDown(p.x, p.y, e.button.button);
      break;
    }
    case SDL_MOUSEBUTTONUP: {
      SDL_Point p = PicturePoint(e.button.x, e.button.y);
      MouseUp(p.x, p.y, e.button.button);
      break;
    }
    case SDL_KEYDOWN:
      KeyDown(e.key.keysym.sym, e.key.keysym.mod, e.key.keysym.scancode);
      break;
    case SDL_TEXTINPUT:
      TextInput(e.text.text);
      break;
    case SDL_WINDOWEVENT:
      WindowEvent(e.window);
      break;
    default:
      break;
  }
}

// The window needs the whole picture again when it was uncovered or changed size; the
// pointer entering or leaving, or the focus moving, changes nothing on it.
void Screen::WindowEvent(const SDL_WindowEvent& e) {
  switch (e.event) {
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_RESIZED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
      if (presenter_) presenter_->WindowChanged();
      showAll_ = true;
      break;
    default:
      break;
  }
}

SDL_Point Screen::PicturePoint(int x, int y) const {
  return presenter_ ? presenter_->ToPicture(x, y) : SDL_Point{x, y};
}

namespace {
int ButtonMask(int sdlButton) {
  return sdlButton == SDL_BUTTON_LEFT ? kLeftButton : sdlButton == SDL_BUTTON_RIGHT ? kRightButton : kMiddleButton;
}
}  // namespace

void Screen::MouseMove(int x, int y) {
  mouseX_ = x;
  mouseY_ = y;
  Form* f = nullptr;
  Control* target = captured_;
  if (target) f = capturedForm_;
  else target = ControlAt(x, y, &f);
  if (!f) return;
  double rx, ry;
  Relative(target, x, y, rx, ry);
  int shift = ShiftState(SDL_GetModState());
  SetHover(captured_ ? nullptr : target);
  if (captured_) ShowPressed(ControlAt(x, y, nullptr) == captured_);
  if (target && target->OnMouseMove) target->OnMouseMove(capturedButton_, shift, rx, ry);
  else if (!target && f->OnMouseMove) f->OnMouseMove(capturedButton_, shift, rx, ry);
  UpdatePointer();
}

void Screen::MouseDown(int x, int y, int button) {
  mouseX_ = x;
  mouseY_ = y;
  Form* f = nullptr;
  Control* target = ControlAt(x, y, &f);
  if (!f) return;
  captured_ = target;
  capturedForm_ = f;
  capturedButton_ = ButtonMask(button);
  ShowPressed(true);
  double rx, ry;
  Relative(target, x, y, rx, ry);
  int shift = ShiftState(SDL_GetModState());
  if (target && target->OnMouseDown) target->OnMouseDown(capturedButton_, shift, rx, ry);
  else if (!target && f->OnMouseDown) f->OnMouseDown(capturedButton_, shift, rx, ry);
}

void Screen::MouseUp(int x, int y, int button) {
  mouseX_ = x;
  mouseY_ = y;
  Form* f = capturedForm_;
  Control* target = captured_;
  bool wasCaptured = f != nullptr;
  ShowPressed(false);
  captured_ = nullptr;
  capturedForm_ = nullptr;
  capturedButton_ = 0;
  if (!wasCaptured || !f->Loaded()) {
    UpdatePointer();
    return;
  }
  double rx, ry;
  Relative(target, x, y, rx, ry);
  int shift = ShiftState(SDL_GetModState());
  int mask = ButtonMask(button);
  if (target && target->OnMouseUp) target->OnMouseUp(mask, shift, rx, ry);
  else if (!target && f->OnMouseUp) f->OnMouseUp(mask, shift, rx, ry);
  // A click is a left press and release over the same control of a still-loaded form.
  Form* now = nullptr;
  if (mask == kLeftButton && f->Loaded() && ControlAt(x, y, &now) == target && now == f) {
    if (target && target->Enabled() && target->OnClick) target->OnClick();
    else if (!target && f->OnClick) f->OnClick();
  }
  UpdatePointer();
}

void Screen::KeyDown(SDL_Keycode layoutKey, uint16_t mod, SDL_Scancode scan) {
  if (scan == SDL_SCANCODE_UNKNOWN) scan = SDL_GetScancodeFromKey(layoutKey);
  SDL_Keycode key = PositionalKey(scan, layoutKey);
  if (key == SDLK_RETURN && (mod & KMOD_ALT)) {
    SetFullscreen(!fullscreen_);
    return;
  }
  Form* f = Forms::Active();
  if (!f) return;
  // Alt with a button's keyboard letter presses that button, whatever the layout.
  if ((mod & KMOD_ALT) && PressMnemonic(*f, scan)) return;
  int shift = ShiftState(mod);
  if (f->KeyPreview()) {
    f->Form_KeyDown(key, shift);
    if (!f->Loaded() || Forms::Active() != f) return;
  }
  if (key == SDLK_ESCAPE) {
    for (const auto& c : f->AllControls()) {
      auto* button = dynamic_cast<CommandButton*>(c.get());
      if (button && button->IsCancel() && button->Enabled()) {
        if (button->OnClick) button->OnClick();
        return;
      }
    }
  }
  Control* focus = KeyTarget(*f);
  if (auto* box = dynamic_cast<TextBox*>(focus)) {
    switch (key) {
      case SDLK_BACKSPACE: box->Backspace(); return;
      case SDLK_DELETE: box->DeleteForward(); return;
      case SDLK_LEFT: box->MoveCaret(-1); return;
      case SDLK_RIGHT: box->MoveCaret(1); return;
      case SDLK_HOME: box->CaretHome(); return;
      case SDLK_END: box->CaretEnd(); return;
      default: break;
    }
  }
  if (focus && focus->OnKeyDown) focus->OnKeyDown(key, shift);
}

void Screen::TextInput(const std::string& utf8) {
  Form* f = Forms::Active();
  if (!f) return;
  Control* focus = KeyTarget(*f);
  if (auto* box = dynamic_cast<TextBox*>(focus)) box->TypeText(utf8);
}

void Screen::SetHover(Control* c) {
  if (c == hover_) return;
  if (auto* old = dynamic_cast<BtnEnh*>(hover_)) old->SetHovered(false);
  hover_ = c;
  if (auto* now = dynamic_cast<BtnEnh*>(hover_)) now->SetHovered(true);
}

void Screen::ShowPressed(bool on) {
  if (auto* button = dynamic_cast<BtnEnh*>(captured_)) button->SetPressed(on && capturedButton_ == kLeftButton);
}

void Screen::Forget(const Form& form) {
  if (capturedForm_ == &form) {
    captured_ = nullptr;
    capturedForm_ = nullptr;
  }
  if (hover_ && &hover_->Owner() == &form) hover_ = nullptr;
}

void Screen::UpdatePointer() {
  Form* f = nullptr;
  Control* c = mouseX_ >= 0 ? ControlAt(mouseX_, mouseY_, &f) : nullptr;
  if (!f) f = Forms::Active();
  ApplyPointer(c, f);
}

void Screen::ApplyPointer(Control* c, Form* f) {
  MousePointer pointer;
  for (Control* k = c; k; k = k->Parent()) {
    if (k->Pointer().kind != PointerKind::Default) {
      pointer = k->Pointer();
      break;
    }
  }
  if (pointer.kind == PointerKind::Default && f) pointer = f->Pointer();
  current_ = pointer;
  if (!window_) return;
  uint64_t key = pointer.kind == PointerKind::Custom ? pointer.picture.Version() * 4 + 2
                                                     : static_cast<uint64_t>(pointer.kind);
  if (key == cursorKey_) return;
  cursorKey_ = key;
  if (pointer.kind == PointerKind::Invisible || (pointer.kind == PointerKind::Custom && pointer.picture.Empty())) {
    SDL_ShowCursor(pointer.kind == PointerKind::Invisible ? SDL_DISABLE : SDL_ENABLE);
    return;
  }
  SDL_Cursor* next = pointer.kind == PointerKind::Custom
                         ? SDL_CreateColorCursor(pointer.picture.Argb(), 0, 0)
                         : SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
  if (next) SDL_SetCursor(next);
  if (cursor_) SDL_FreeCursor(cursor_);
  cursor_ = next;
  SDL_ShowCursor(SDL_ENABLE);
}

}  // namespace vark
