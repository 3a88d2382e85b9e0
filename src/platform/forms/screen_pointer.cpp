// The mouse pointer: the shape of the control under it, of its nearest container that has
// one, or of the form, shown as the system arrow, a picture, or nothing.
#include "platform/forms/form.h"
#include "platform/forms/screen.h"
#include "platform/video/window.h"

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

}  // namespace

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

void Screen::SetPointerPlace(int x, int y) {
  pointerX_ = x;
  pointerY_ = y;
}

void Screen::UpdatePointer() {
  Form* f = nullptr;
  Control* c = pointerX_ >= 0 ? ControlAt(pointerX_, pointerY_, &f) : nullptr;
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
  if (!GameWindow::Get().Handle()) return;
  uint64_t key =
      pointer.kind == PointerKind::Custom ? pointer.picture.Version() * 4 + 2 : static_cast<uint64_t>(pointer.kind);
  if (key == cursorKey_) return;
  cursorKey_ = key;
  if (pointer.kind == PointerKind::Invisible || (pointer.kind == PointerKind::Custom && pointer.picture.Empty())) {
    SDL_ShowCursor(pointer.kind == PointerKind::Invisible ? SDL_DISABLE : SDL_ENABLE);
    return;
  }
  SDL_Cursor* next = pointer.kind == PointerKind::Custom ? SDL_CreateColorCursor(pointer.picture.Argb(), 0, 0)
                                                         : SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
  if (next) SDL_SetCursor(next);
  cursor_.reset(next);
  SDL_ShowCursor(SDL_ENABLE);
}

}  // namespace vark
