// The base of every visible control: a box in twips inside its form or container, with
// visible and enabled states, a mouse pointer, and mouse and key events.
#pragma once

#include <SDL.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/geometry.h"
#include "platform/video/picture.h"

namespace vark {

class Form;
class Control;

enum class PointerKind { Default, Custom, Invisible };

struct MousePointer {
  PointerKind kind = PointerKind::Default;
  Picture picture;  // for Custom
};

// Mouse buttons as the handlers see them: 1 left, 2 right, 4 middle.
enum MouseButton { kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };

using MouseHandler = std::function<void(int button, int shift, double x, double y)>;
using KeyHandler = std::function<void(int keyCode, int shift)>;

class Control {
 public:
  Control(Form& form, std::string name, int index, Control* parent, Rect box);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& Name() const { return name_; }
  int Index() const { return index_; }
  Form& Owner() const { return form_; }
  Control* Parent() const { return parent_; }

  int Left() const { return box_.left; }
  int Top() const { return box_.top; }
  int Width() const { return box_.width; }
  int Height() const { return box_.height; }
  void SetLeft(int v) { Move(v, box_.top, box_.width, box_.height); }
  void SetTop(int v) { Move(box_.left, v, box_.width, box_.height); }
  void SetWidth(int v) { Move(box_.left, box_.top, v, box_.height); }
  void SetHeight(int v) { Move(box_.left, box_.top, box_.width, v); }
  virtual void Move(int left, int top, int width, int height);

  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool e);

  // A panel another panel lies over: while the cover is visible this one stays open (it
  // keeps its state and comes back when the cover closes) but is neither drawn nor reached
  // by the mouse, so none of its edges show around a smaller cover.
  void SetCoveredBy(Control& cover);
  bool Covered() const { return cover_ && cover_->Visible(); }

  // True when this control and every container above it are visible, and not covered, on
  // a visible form.
  bool IsShown() const;

  // Brings the control to the front of its container.
  void ZOrder();

  // Repaints the control on the screen at once (animations inside a handler).
  void Refresh();

  void SetMousePointer(MousePointer p) { pointer_ = std::move(p); }
  const MousePointer& Pointer() const { return pointer_; }

  // Events. A handler left empty means the control does not react.
  std::function<void()> OnClick;
  MouseHandler OnMouseDown;
  MouseHandler OnMouseMove;
  MouseHandler OnMouseUp;
  KeyHandler OnKeyDown;

  // The box on the 640 x 480 screen, in pixels.
  SDL_Rect ScreenBox() const;
  // Absolute position in twips (containers' offsets added).
  int ScreenLeftTwips() const;
  int ScreenTopTwips() const;

  // Drawing and hit testing, used by the screen.
  virtual void Draw(SDL_Surface* target, const SDL_Rect& box) const = 0;
  virtual bool TakesMouse() const { return true; }
  virtual bool TakesFocus() const { return false; }
  // Keyboard and controller play: the control can hold the focus ring (buttons that can be
  // clicked always can; faces, tiles, answers and slots are marked by their screen).
  void SetFocusable(bool f) { focusable_ = f; }
  virtual bool Focusable() const { return focusable_; }
  // A text box that takes arrows, Enter and Space for itself while it has the keys, so
  // they do not move the focus ring.
  virtual bool KeepsNavigationKeys() const { return false; }
  // Mouse coordinates for this control's handlers: twips unless it measures in pixels.
  virtual bool MeasuresInPixels() const { return false; }
  std::vector<Control*>& Children() { return children_; }
  const std::vector<Control*>& Children() const { return children_; }

  // What the input routing asks of a control; a control that does not take part keeps
  // the defaults.
  // The pointer came onto (true) or left (false) the control.
  virtual void SetHovered(bool /*over*/) {}
  // The left mouse button is held on the control (true) or no longer (false).
  virtual void SetPressed(bool /*held*/) {}
  // Escape presses this control.
  virtual bool PressedByEscape() const { return false; }
  // The letter (UTF-8) whose key, with Alt, clicks the control; empty for none.
  virtual std::string KeyboardLetter() const { return {}; }
  // An editing key (Backspace, Delete, arrows, Home, End) for the focused control; true
  // when it was used.
  virtual bool EditKey(SDL_Keycode /*key*/) { return false; }
  // Text typed while the control has the focus.
  virtual void TypeText(std::string_view /*utf8*/) {}

 protected:
  // Marks the control's area as needing a repaint, when the control can be seen.
  void Invalidate() const;
  // The enabled state changed (controls that cache their look redraw it).
  virtual void EnabledChanged() {}

 private:
  // Marks the control's area as needing a repaint, seen or not (it was just hidden, moved
  // or uncovered).
  void InvalidateArea() const;
  Form& form_;
  std::string name_;
  int index_;
  Control* parent_;
  Rect box_;
  bool visible_ = true;
  bool enabled_ = true;
  bool focusable_ = false;
  MousePointer pointer_;
  const Control* cover_ = nullptr;
  std::vector<const Control*> covered_;  // the panels this one covers
  std::vector<Control*> children_;
};

}  // namespace vark
