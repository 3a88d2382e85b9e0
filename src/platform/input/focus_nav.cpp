#include "platform/input/focus_nav.h"

#include <cmath>
#include <cstdlib>
#include <limits>

#include "platform/base/run_state.h"
#include "platform/forms/form.h"
#include "platform/forms/screen.h"
#include "platform/video/paint.h"

namespace vark {
namespace {

// The ring: a dark outline, a bright yellow band inside it and a dark inner line, so it
// stands out on light and dark pictures alike.
constexpr int kRingOutside = 4;  // pixels beyond the control's box
const Color kRingDark = RGB(0, 0, 0);
const Color kRingBright = RGB(255, 255, 0);

bool Empty(const SDL_Rect& r) { return r.w <= 0 || r.h <= 0; }

SDL_Rect RingAround(const SDL_Rect& box) {
  SDL_Rect ring{box.x - kRingOutside, box.y - kRingOutside, box.w + 2 * kRingOutside, box.h + 2 * kRingOutside};
  const SDL_Rect screen{0, 0, kScreenWidthPx, kScreenHeightPx};
  SDL_Rect shown{0, 0, 0, 0};
  SDL_IntersectRect(&ring, &screen, &shown);
  return shown;
}

double CentreX(const SDL_Rect& r) { return r.x + r.w / 2.0; }
double CentreY(const SDL_Rect& r) { return r.y + r.h / 2.0; }

// The gap between two spans (0 when they overlap).
int Gap(int start1, int length1, int start2, int length2) {
  int gap = std::max(start1, start2) - std::min(start1 + length1, start2 + length2);
  return std::max(0, gap);
}

// How far `to` lies from `from` in the arrow's direction; negative when it does not lie
// that way. Controls in line with the start (their spans overlap) come first; among them
// the nearest wins.
double DirectionalDistance(const SDL_Rect& from, const SDL_Rect& to, SDL_Keycode arrow) {
  bool horizontal = arrow == SDLK_LEFT || arrow == SDLK_RIGHT;
  double along = horizontal ? CentreX(to) - CentreX(from) : CentreY(to) - CentreY(from);
  if (arrow == SDLK_LEFT || arrow == SDLK_UP) along = -along;
  if (along <= 0) return -1;
  int offLine = horizontal ? Gap(from.y, from.h, to.y, to.h) : Gap(from.x, from.w, to.x, to.w);
  double across = horizontal ? std::abs(CentreY(to) - CentreY(from)) : std::abs(CentreX(to) - CentreX(from));
  return along + 4.0 * offLine + 0.1 * across;
}

double Distance(const SDL_Rect& a, const SDL_Rect& b) {
  return std::hypot(CentreX(a) - CentreX(b), CentreY(a) - CentreY(b));
}

bool IsArrow(SDL_Keycode key) { return key == SDLK_LEFT || key == SDLK_RIGHT || key == SDLK_UP || key == SDLK_DOWN; }

bool IsPressKey(SDL_Keycode key) { return key == SDLK_RETURN || key == SDLK_KP_ENTER || key == SDLK_SPACE; }

bool ShownAndEnabled(const Control& c) {
  if (!c.Focusable() || !c.IsShown() || !c.Owner().InputReaches(c)) return false;
  for (const Control* k = &c; k; k = k->Parent())
    if (!k->Enabled()) return false;
  return true;
}

// The mouse could click it: its middle is on the screen and no panel in front covers it
// (an end screen over the question, a question over the board).
bool UnderTheMouse(const Control& c) {
  const SDL_Rect box = c.ScreenBox();
  Form* front = nullptr;
  Control* hit = Screen::Get().ControlAt(box.x + box.w / 2, box.y + box.h / 2, &front);
  if (front != &c.Owner()) return false;
  for (const Control* k = hit; k; k = k->Parent())
    if (k == &c) return true;
  return false;
}

}  // namespace

bool CanTakeNavFocus(const Control& c) { return ShownAndEnabled(c) && UnderTheMouse(c); }

void PressControl(Control& c) {
  Form& form = c.Owner();
  const SDL_Rect box = c.ScreenBox();
  const int scale = c.MeasuresInPixels() ? 1 : kTwipsPerPixel;
  const double x = box.w / 2 * scale, y = box.h / 2 * scale;
  auto stillThere = [&] { return form.Loaded() && CanTakeNavFocus(c); };
  // Each handler is copied before it runs: it may replace itself.
  if (MouseHandler down = c.OnMouseDown) {
    down(kLeftButton, 0, x, y);
    if (!stillThere()) return;
  }
  if (MouseHandler up = c.OnMouseUp) {
    up(kLeftButton, 0, x, y);
    if (!stillThere()) return;
  }
  if (std::function<void()> click = c.OnClick) click();
}

FocusNav& FocusNav::Get() { return CurrentRun().Get<FocusNav>(); }

FocusNav::FocusNav() {
  Screen::Get().SetOverlay(this);
  Forms::Watch(*this);
}

FocusNav::~FocusNav() {
  Forms::Unwatch(*this);
  Screen::Get().SetOverlay(nullptr);
}

bool FocusNav::Key(Form& form, SDL_Keycode key) {
  if (!IsArrow(key) && !IsPressKey(key)) return false;
  Control* c = Valid(form);
  if (!c) return false;
  bool wasShown = shown_;
  Show();
  // The first key only shows where the focus is; an arrow moves it from then on.
  if (IsArrow(key)) {
    if (wasShown) Move(form, key);
    return true;
  }
  PressControl(*c);
  return true;
}

bool FocusNav::PressEscape(Form& form) {
  for (Control* c : form.EscapeButtons()) {
    if (!c || !CanTakeNavFocus(*c)) continue;
    Show();
    PressControl(*c);
    return true;
  }
  return false;
}

void FocusNav::Offer(Control& c) {
  if (CanTakeNavFocus(c)) SetFocus(c.Owner(), &c);
}

void FocusNav::PointerMoved() {
  if (!shown_) return;
  shown_ = false;
  if (!Empty(drawn_)) Screen::Get().Invalidate(drawn_);
}

Control* FocusNav::Focused() {
  Form* f = Forms::Active();
  return f ? Valid(*f) : nullptr;
}

void FocusNav::Show() {
  if (shown_) return;
  shown_ = true;
  if (focus_) Screen::Get().Invalidate(RingAround(focus_->ScreenBox()));
}

void FocusNav::SetFocus(Form& form, Control* c) {
  if (form_ == &form && focus_ == c) return;
  if (!Empty(drawn_)) Screen::Get().Invalidate(drawn_);
  form_ = &form;
  focus_ = c;
  if (!c) return;
  lastBox_ = c->ScreenBox();
  if (shown_) Screen::Get().Invalidate(RingAround(lastBox_));
}

Control* FocusNav::Valid(Form& form) {
  if (form_ == &form && focus_ && CanTakeNavFocus(*focus_)) {
    lastBox_ = focus_->ScreenBox();
    return focus_;
  }
  if (Control* c = Pick(form)) {
    SetFocus(form, c);
    return c;
  }
  // Nothing can take the focus now (a panel is between two states): the old focus is kept,
  // and comes back when its control does.
  if (form_ != &form) SetFocus(form, nullptr);
  return nullptr;
}

// A control that can no longer hold the focus hands it to its nearest usable neighbour in
// the same container (a memory tile that vanished); when its whole container went or a
// panel opened over it, the form's first focus that can take it wins, else the control
// nearest to where the focus was, else the first in reading order.
Control* FocusNav::Pick(Form& form) const {
  const bool sameForm = form_ == &form && focus_;
  // A focus that is still there but covered by a panel that opened does not move to a
  // neighbour: the panel's own first choice takes it.
  const bool covered = sameForm && ShownAndEnabled(*focus_);
  Control* nearestSibling = nullptr;
  Control* nearest = nullptr;
  Control* firstInReading = nullptr;
  double siblingDistance = std::numeric_limits<double>::max();
  double distance = siblingDistance;
  for (const auto& owned : form.AllControls()) {
    Control* c = owned.get();
    if (!CanTakeNavFocus(*c)) continue;
    const SDL_Rect box = c->ScreenBox();
    if (!firstInReading || box.y < firstInReading->ScreenBox().y ||
        (box.y == firstInReading->ScreenBox().y && box.x < firstInReading->ScreenBox().x))
      firstInReading = c;
    if (!sameForm) continue;
    double d = Distance(box, lastBox_);
    if (d < distance) distance = d, nearest = c;
    if (!covered && c->Parent() == focus_->Parent() && d < siblingDistance) siblingDistance = d, nearestSibling = c;
  }
  if (nearestSibling) return nearestSibling;
  for (Control* c : form.FirstFocus())
    if (c && CanTakeNavFocus(*c)) return c;
  return nearest ? nearest : firstInReading;
}

bool FocusNav::Move(Form& form, SDL_Keycode arrow) {
  const SDL_Rect from = focus_->ScreenBox();
  Control* best = nullptr;
  double bestDistance = std::numeric_limits<double>::max();
  for (const auto& owned : form.AllControls()) {
    Control* c = owned.get();
    if (c == focus_ || !CanTakeNavFocus(*c)) continue;
    double d = DirectionalDistance(from, c->ScreenBox(), arrow);
    if (d >= 0 && d < bestDistance) bestDistance = d, best = c;
  }
  if (!best) return false;
  SetFocus(form, best);
  return true;
}

SDL_Rect FocusNav::WantedRing() {
  if (!shown_) return {0, 0, 0, 0};
  Control* c = Focused();
  return c ? RingAround(c->ScreenBox()) : SDL_Rect{0, 0, 0, 0};
}

void FocusNav::BeforeCompose() {
  SDL_Rect wanted = WantedRing();
  if (SDL_RectEquals(&wanted, &drawn_)) return;
  if (!Empty(drawn_)) Screen::Get().Invalidate(drawn_);
  if (!Empty(wanted)) Screen::Get().Invalidate(wanted);
  drawn_ = wanted;
}

void FocusNav::Draw(SDL_Surface* target, const SDL_Rect& clip) const {
  if (Empty(drawn_)) return;
  SDL_SetClipRect(target, &clip);
  FrameRect(target, drawn_, kRingDark, 4);
  SDL_Rect band{drawn_.x + 1, drawn_.y + 1, drawn_.w - 2, drawn_.h - 2};
  FrameRect(target, band, kRingBright, 2);
  SDL_SetClipRect(target, nullptr);
}

void FocusNav::FormGone(const Form& form) {
  if (form_ != &form) return;
  form_ = nullptr;
  focus_ = nullptr;
}

}  // namespace vark
