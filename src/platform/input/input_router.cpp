// Input routing: mouse events go to the front-most visible, enabled control under the
// pointer (a press holds the control until the release), keys to the form first when it
// asks, then to the focused control, typed text to the focused control. The loss of the
// sound device goes to the sound system.
#include "platform/input/focus_nav.h"
#include "platform/forms/form.h"
#include "platform/input/gamepad.h"
#include "platform/input/keys.h"
#include "platform/sound/media.h"
#include "platform/input/mnemonic.h"
#include "platform/forms/screen.h"

#include <utility>

namespace vark {
namespace {

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

int ButtonMask(int sdlButton) {
  return sdlButton == SDL_BUTTON_LEFT ? kLeftButton : sdlButton == SDL_BUTTON_RIGHT ? kRightButton : kMiddleButton;
}

}  // namespace

int ShiftState(uint16_t mod) {
  return ((mod & KMOD_SHIFT) ? 1 : 0) | ((mod & KMOD_CTRL) ? 2 : 0) | ((mod & KMOD_ALT) ? 4 : 0);
}

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
      SteerWithKeyboard(e.key);
      KeyDown(e.key.keysym.sym, e.key.keysym.mod, e.key.keysym.scancode);
      break;
    case SDL_KEYUP: SteerWithKeyboard(e.key); break;
    case SDL_TEXTINPUT: TextInput(e.text.text); break;
    case SDL_WINDOWEVENT: WindowEvent(e.window); break;
    case SDL_AUDIODEVICEREMOVED:  // the only output device the game opens is the mixer's
      if (!e.adevice.iscapture) Audio().DeviceLost();
      break;
    default: HandleControllerEvent(e); break;
  }
}

void Screen::MouseMove(int x, int y) {
  if (x != mouseX_ || y != mouseY_) FocusNav::Get().PointerMoved();
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
  FocusNav::Get().PointerMoved();
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
  // Right Alt types letters under some layouts (AltGr), so only left Alt always commands.
  swallowText_ = (mod & KMOD_LALT) != 0;
  if (key == SDLK_RETURN && (mod & KMOD_ALT)) {
    SetFullscreen(!fullscreen_);
    return;
  }
  Form* f = Forms::Active();
  if (!f) return;
  // Alt with a button's keyboard letter presses that button, whatever the layout.
  if ((mod & KMOD_ALT) && PressMnemonic(*f, scan)) {
    swallowText_ = true;
    return;
  }
  int shift = ShiftState(mod);
  if (f->KeyPreview()) {
    f->Form_KeyDown(key, shift);
    if (!f->Loaded() || Forms::Active() != f) return;
  }
  if (key == SDLK_ESCAPE) {
    for (const auto& c : f->AllControls()) {
      if (c->PressedByEscape() && c->Enabled()) {
        if (c->OnClick) c->OnClick();
        return;
      }
    }
    if (FocusNav::Get().PressEscape(*f)) return;
  }
  Control* focus = KeyTarget(*f);
  // Arrows, Enter and Space move and press the focus ring, unless a text box keeps them.
  if (!(focus && focus->KeepsNavigationKeys()) && FocusNav::Get().Key(*f, key)) {
    swallowText_ = key == SDLK_SPACE;  // the Space that pressed must not also type a space
    return;
  }
  if (!focus) return;
  if (focus->EditKey(key)) return;
  if (focus->OnKeyDown) focus->OnKeyDown(key, shift);
}

void Screen::TextInput(const std::string& utf8) {
  if (std::exchange(swallowText_, false)) return;
  Form* f = Forms::Active();
  if (!f) return;
  if (Control* focus = KeyTarget(*f)) focus->TypeText(utf8);
}

void Screen::SetHover(Control* c) {
  if (c == hover_) return;
  if (hover_) hover_->SetHovered(false);
  hover_ = c;
  if (hover_) hover_->SetHovered(true);
}

void Screen::ShowPressed(bool on) {
  if (captured_) captured_->SetPressed(on && capturedButton_ == kLeftButton);
}

void Screen::Forget(const Form& form) {
  if (capturedForm_ == &form) {
    captured_ = nullptr;
    capturedForm_ = nullptr;
  }
  if (hover_ && &hover_->Owner() == &form) hover_ = nullptr;
  FocusNav::Get().Forget(form);
}

}  // namespace vark
