#include "platform/input/input_router.h"

#include <SDL_syswm.h>

#include <iostream>
#include <utility>

#include "platform/base/run_state.h"
#include "platform/forms/screen.h"
#include "platform/input/focus_nav.h"
#include "platform/input/gamepad.h"
#include "platform/input/keys.h"
#include "platform/input/mnemonic.h"
#include "platform/sound/media.h"
#include "platform/video/window.h"
#include "platform/video/window_manager.h"

namespace vark {
namespace {

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

bool PressesTheRing(SDL_Keycode key) { return key == SDLK_RETURN || key == SDLK_KP_ENTER || key == SDLK_SPACE; }

int ButtonMask(int sdlButton) {
  return sdlButton == SDL_BUTTON_LEFT ? kLeftButton : sdlButton == SDL_BUTTON_RIGHT ? kRightButton : kMiddleButton;
}

}  // namespace

InputRouter& InputRouter::Get() { return CurrentRun().Get<InputRouter>(); }

InputRouter::InputRouter() { Forms::Watch(*this); }

InputRouter::~InputRouter() { Forms::Unwatch(*this); }

int ShiftState(uint16_t mod) {
  return ((mod & KMOD_SHIFT) ? 1 : 0) | ((mod & KMOD_CTRL) ? 2 : 0) | ((mod & KMOD_ALT) ? 4 : 0);
}

void InputRouter::HandleEvent(const SDL_Event& e) {
  const GameWindow& window = GameWindow::Get();
  switch (e.type) {
    case SDL_MOUSEMOTION: {
      SDL_Point p = window.ToPicture(e.motion.x, e.motion.y);
      MouseMove(p.x, p.y);
      break;
    }
    case SDL_MOUSEBUTTONDOWN: {
      SDL_Point p = window.ToPicture(e.button.x, e.button.y);
      MouseDown(p.x, p.y, e.button.button);
      break;
    }
    case SDL_MOUSEBUTTONUP: {
      SDL_Point p = window.ToPicture(e.button.x, e.button.y);
      MouseUp(p.x, p.y, e.button.button);
      break;
    }
    case SDL_KEYDOWN:
      SteerWithKeyboard(e.key);
      keyRepeated_ = e.key.repeat != 0;
      KeyDown(e.key.keysym.sym, e.key.keysym.mod, e.key.keysym.scancode);
      keyRepeated_ = false;
      break;
    case SDL_KEYUP: SteerWithKeyboard(e.key); break;
    case SDL_TEXTINPUT: TextInput(e.text.text); break;
    case SDL_WINDOWEVENT: WindowEvent(e.window); break;
    case SDL_DISPLAYEVENT: GameWindow::Get().DisplaysChanged(); break;
    case SDL_SYSWMEVENT: WindowSystemEvent(*e.syswm.msg); break;
    case SDL_AUDIODEVICEREMOVED:  // the only output device the game opens is the mixer's
      if (!e.adevice.iscapture) Audio().DeviceLost();
      break;
    default: HandleControllerEvent(e); break;
  }
}

void InputRouter::MouseMove(int x, int y) {
  if (x != mouseX_ || y != mouseY_) FocusNav::Get().PointerMoved();
  PointerAt(x, y);
  Form* f = nullptr;
  Control* target = captured_;
  if (target) f = capturedForm_;
  else target = Screen::Get().ControlAt(x, y, &f);
  if (!f) return;
  double rx, ry;
  Relative(target, x, y, rx, ry);
  int shift = ShiftState(SDL_GetModState());
  SetHover(captured_ ? nullptr : target);
  if (captured_) ShowPressed(Screen::Get().ControlAt(x, y, nullptr) == captured_);
  if (target && target->OnMouseMove) target->OnMouseMove(capturedButton_, shift, rx, ry);
  else if (!target && f->OnMouseMove) f->OnMouseMove(capturedButton_, shift, rx, ry);
  Screen::Get().UpdatePointer();
}

void InputRouter::MouseDown(int x, int y, int button) {
  FocusNav::Get().PointerMoved();
  PointerAt(x, y);
  Form* f = nullptr;
  Control* target = Screen::Get().ControlAt(x, y, &f);
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

void InputRouter::MouseUp(int x, int y, int button) {
  PointerAt(x, y);
  Form* f = capturedForm_;
  Control* target = captured_;
  bool wasCaptured = f != nullptr;
  ShowPressed(false);
  captured_ = nullptr;
  capturedForm_ = nullptr;
  capturedButton_ = 0;
  if (!wasCaptured || !f->Loaded()) {
    Screen::Get().UpdatePointer();
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
  if (mask == kLeftButton && f->Loaded() && Screen::Get().ControlAt(x, y, &now) == target && now == f) {
    if (target && target->Enabled() && target->OnClick) target->OnClick();
    else if (!target && f->OnClick) f->OnClick();
  }
  Screen::Get().UpdatePointer();
}

void InputRouter::KeyDown(SDL_Keycode layoutKey, uint16_t mod, SDL_Scancode scan) {
  if (scan == SDL_SCANCODE_UNKNOWN) scan = SDL_GetScancodeFromKey(layoutKey);
  SDL_Keycode key = PositionalKey(scan, layoutKey);
  // Right Alt types letters under some layouts (AltGr), so only left Alt always commands.
  swallowText_ = (mod & KMOD_LALT) != 0;
  if (key == SDLK_RETURN && (mod & KMOD_ALT)) {
    GameWindow& window = GameWindow::Get();
    if (!keyRepeated_) window.SetFullscreen(!window.Fullscreen());
    return;
  }
  Form* f = Forms::Active();
  if (!f) return;
  // Alt with a button's keyboard letter presses that button, whatever the layout.
  if ((mod & KMOD_ALT) && (keyRepeated_ || PressMnemonic(*f, scan))) {
    swallowText_ = true;
    return;
  }
  int shift = ShiftState(mod);
  if (f->KeyPreview()) {
    f->Form_KeyDown(key, shift);
    if (!f->Loaded() || Forms::Active() != f) return;
  }
  if (key == SDLK_ESCAPE) {
    if (keyRepeated_) return;
    for (const auto& c : f->AllControls()) {
      if (c->PressedByEscape() && c->Enabled()) {
        if (c->OnClick) c->OnClick();
        return;
      }
    }
    if (FocusNav::Get().PressEscape(*f)) return;
  }
  Control* focus = KeyTarget(*f);
  // Arrows, Enter and Space move and press the focus ring, unless a text box keeps them;
  // a held Enter or Space presses once.
  if (!(focus && focus->KeepsNavigationKeys())) {
    if (keyRepeated_ && PressesTheRing(key)) return;
    if (FocusNav::Get().Key(*f, key)) {
      swallowText_ = key == SDLK_SPACE;  // the Space that pressed must not also type a space
      return;
    }
  }
  if (!focus) return;
  if (focus->EditKey(key)) return;
  if (focus->OnKeyDown) focus->OnKeyDown(key, shift);
}

void InputRouter::TextInput(const std::string& utf8) {
  if (std::exchange(swallowText_, false)) return;
  Form* f = Forms::Active();
  if (!f) return;
  if (Control* focus = KeyTarget(*f)) focus->TypeText(utf8);
}

void InputRouter::SetHover(Control* c) {
  if (c == hover_) return;
  if (hover_) hover_->SetHovered(false);
  hover_ = c;
  if (hover_) hover_->SetHovered(true);
}

void InputRouter::ShowPressed(bool on) {
  if (captured_) captured_->SetPressed(on && capturedButton_ == kLeftButton);
}

void InputRouter::FormGone(const Form& form) {
  if (capturedForm_ == &form) {
    captured_ = nullptr;
    capturedForm_ = nullptr;
  }
  if (hover_ && &hover_->Owner() == &form) hover_ = nullptr;
}

void InputRouter::PointerAt(int x, int y) {
  mouseX_ = x;
  mouseY_ = y;
  Screen::Get().SetPointerPlace(x, y);
}

// Monitors that came or went, and the game's window destroyed by another program: the
// game ends as on a close request.
void InputRouter::WindowSystemEvent(const SDL_SysWMmsg& message) {
  if (MonitorsChanged(message)) GameWindow::Get().DisplaysChanged();
  if (!WindowDestroyedBy(message)) return;
  std::cerr << "vark: the game's window was closed by another program; the game ends\n";
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
}

// The window needs the whole picture again when it was uncovered or changed size; focus
// and minimising tell whether the player is there.
void InputRouter::WindowEvent(const SDL_WindowEvent& e) {
  GameWindow& window = GameWindow::Get();
  if (window.HandleWindowEvent(e)) Forms::PlayerAway(window.PlayerAway());
}

}  // namespace vark
