#include "platform/forms/control.h"

#include <algorithm>

#include "platform/forms/form.h"
#include "platform/forms/screen.h"

namespace vark {

Control::Control(Form& form, std::string name, int index, Control* parent, Rect box)
    : form_(form), name_(std::move(name)), index_(index), parent_(parent), box_(box) {}

Control::~Control() = default;

void Control::Move(int left, int top, int width, int height) {
  width = std::max(0, width);
  height = std::max(0, height);
  if (left == box_.left && top == box_.top && width == box_.width && height == box_.height) return;
  InvalidateArea();
  box_ = Rect{left, top, width, height};
  InvalidateArea();
}

void Control::SetVisible(bool v) {
  if (visible_ == v) return;
  visible_ = v;
  InvalidateArea();
  // What this panel covers appears or disappears with it, edges included.
  for (const Control* c : covered_) c->InvalidateArea();
  Screen::Get().UpdatePointer();
}

void Control::SetCoveredBy(Control& cover) {
  cover_ = &cover;
  cover.covered_.push_back(this);
  InvalidateArea();
}

void Control::SetEnabled(bool e) {
  if (enabled_ == e) return;
  enabled_ = e;
  EnabledChanged();
  Invalidate();
}

bool Control::IsShown() const {
  for (const Control* c = this; c; c = c->parent_)
    if (!c->visible_ || c->Covered()) return false;
  return form_.Visible() && form_.Loaded();
}

void Control::ZOrder() {
  auto& siblings = parent_ ? parent_->children_ : form_.TopLevel();
  auto it = std::find(siblings.begin(), siblings.end(), this);
  if (it != siblings.end()) {
    siblings.erase(it);
    siblings.push_back(this);
  }
  InvalidateArea();
}

int Control::ScreenLeftTwips() const { return box_.left + (parent_ ? parent_->ScreenLeftTwips() : 0); }
int Control::ScreenTopTwips() const { return box_.top + (parent_ ? parent_->ScreenTopTwips() : 0); }

SDL_Rect Control::ScreenBox() const {
  int left = ScreenLeftTwips();
  int top = ScreenTopTwips();
  int x0 = TwipsToPx(left), y0 = TwipsToPx(top);
  return SDL_Rect{x0, y0, TwipsToPx(left + box_.width) - x0, TwipsToPx(top + box_.height) - y0};
}

// A change of what a control shows needs no repaint while it cannot be seen (hidden, on a
// hidden panel, covered): the idle menu's buttons that blink on its hidden panels then
// cost nothing. Showing it again repaints its area.
void Control::Invalidate() const {
  // The form is asked first: while it goes, its containers may be gone before their controls.
  if (form_.Visible() && IsShown()) InvalidateArea();
}

void Control::InvalidateArea() const {
  if (!form_.Visible()) return;
  SDL_Rect r = ScreenBox();
  // Captions may draw a pixel or two beyond the box (shadows): widen a little.
  r.x -= 2;
  r.y -= 2;
  r.w += 4;
  r.h += 4;
  Screen::Get().Invalidate(r);
}

void Control::Refresh() {
  Invalidate();
  Screen::Get().Present();
}

}  // namespace vark
