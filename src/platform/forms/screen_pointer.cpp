// The mouse pointer: the shape of the control under it, of its nearest container that has
// one, or of the form, shown as the system arrow, a picture, or nothing.
#include "platform/forms/form.h"
#include "platform/forms/screen.h"

namespace vark {

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
