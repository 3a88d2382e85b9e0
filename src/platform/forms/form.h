// Forms: the screens. Each form class has exactly one instance, reached by its type from
// anywhere through Forms::Get<T>(). Showing a form that is not loaded loads it (its
// Form_Load runs); unloading discards it with its controls, timers and media channels,
// and a later Show loads it afresh.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <typeindex>
#include <vector>

#include "platform/forms/control.h"
#include "platform/runtime/timer.h"
#include "platform/sound/media.h"
#include "platform/video/window.h"

namespace vark {

// The kinds of control a form builds (forms/controls.h, btnenh.h, n3dtext.h); a screen
// includes those it uses.
class Image;
class PictureBox;
class Label;
class BtnEnh;

class Form {
 public:
  explicit Form(std::string name);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::string& Name() const { return name_; }

  // Runs once when the form is loaded.
  virtual void Form_Load() {}
  // Keys, before any control sees them, when KeyPreview is on.
  virtual void Form_KeyDown(int /*keyCode*/, int /*shift*/) {}
  // What the form is doing now, asked after every event while it is in front.
  virtual Activity CurrentActivity() const { return Activity::Idle; }

  void Show();
  void Hide();
  bool Visible() const { return visible_; }
  // Still loaded (false once unloaded, while the object waits to be destroyed).
  bool Loaded() const { return loaded_; }

  void SetBackColor(Color c);
  Color BackColor() const { return back_; }
  void SetMousePointer(MousePointer p) { pointer_ = std::move(p); }
  const MousePointer& Pointer() const { return pointer_; }
  void SetKeyPreview(bool v) { keyPreview_ = v; }
  bool KeyPreview() const { return keyPreview_; }

  // Events on the form's own surface (where no control is).
  MouseHandler OnMouseDown;
  MouseHandler OnMouseMove;
  MouseHandler OnMouseUp;
  std::function<void()> OnClick;

  // A panel that asks something first: while it is visible the mouse and the keyboard
  // letters reach only what lies in it (nullptr: no such panel).
  void SetModalPanel(const Control* panel) { modal_ = panel; }
  // True when input may reach the control now.
  bool InputReaches(const Control& c) const;

  // A screen played against the clock holds all its timers while the player is away (the
  // game's window has no input focus or is minimised) and goes on when the player is back.
  void SetPausesWhileAway(bool on);
  bool PausesWhileAway() const { return pausesWhileAway_; }
  // The player's own pause: every timer of the form holds, as while the player is away,
  // until the pause ends (coming back to the window does not end it).
  void SetPaused(bool on);
  bool Paused() const { return paused_; }
  // The time the form's timers have been held so far (pauses and time away), in ms.
  uint64_t HeldMs() const;
  // Holds the timers or lets them go, as the pause and the player's presence say.
  void UpdateHold();

  // Keyboard focus: the control that receives typed text and keys.
  void SetFocus(Control* c) { focus_ = c; }
  Control* Focused() const { return focus_; }

  // Keyboard and controller play: the controls that take the focus ring first, in order of
  // preference (the first that can take it wins), and the buttons Escape presses when one
  // is shown (for screens whose Escape has no other use).
  void SetFirstFocus(std::vector<Control*> order) { firstFocus_ = std::move(order); }
  const std::vector<Control*>& FirstFocus() const { return firstFocus_; }
  void SetEscapeButtons(std::vector<Control*> buttons) { escapeButtons_ = std::move(buttons); }
  const std::vector<Control*>& EscapeButtons() const { return escapeButtons_; }

  // Controls by name and index (-1 for a control that is not in an array).
  Control* FindControl(const std::string& name, int index = -1) const;
  const std::vector<Control*>& TopLevel() const { return topLevel_; }
  std::vector<Control*>& TopLevel() { return topLevel_; }
  const std::vector<std::unique_ptr<Control>>& AllControls() const { return controls_; }

  // Called by the registry.
  void MarkLoaded() { loaded_ = true; }
  void Discard();

 protected:
  // Building the form's design. `parent` is a container (a PictureBox) or nullptr for the
  // form itself; `index` is the element's index in a control array, -1 for none. Controls
  // added later lie in front of earlier ones.
  template <class C>
  C& Add(const std::string& name, Rect box, Control* parent = nullptr, int index = -1) {
    auto control = std::make_unique<C>(*this, name, index, parent, box);
    C& ref = *control;
    Adopt(std::move(control));
    return ref;
  }
  // The usual kinds by name (templates, so that this header needs no control's definition).
  template <class C = Image>
  C& AddImage(const std::string& name, Rect box, Control* parent = nullptr, int index = -1) {
    return Add<C>(name, box, parent, index);
  }
  template <class C = PictureBox>
  C& AddPictureBox(const std::string& name, Rect box, Control* parent = nullptr) {
    return Add<C>(name, box, parent);
  }
  template <class C = Label>
  C& AddLabel(const std::string& name, Rect box, Control* parent = nullptr, int index = -1) {
    return Add<C>(name, box, parent, index);
  }
  template <class C = BtnEnh>
  C& AddButton(const std::string& name, Rect box, std::string caption, Control* parent = nullptr, int index = -1) {
    C& button = Add<C>(name, box, parent, index);
    button.SetCaption(std::move(caption));
    return button;
  }
  Timer& AddTimer(const std::string& name, int intervalMs, std::function<void()> onTick);
  MediaPlayer& AddMedia(const std::string& name);

 private:
  void Adopt(std::unique_ptr<Control> control);

  std::string name_;
  bool visible_ = false;
  bool loaded_ = false;
  Color back_ = RGB(0, 0, 0);
  MousePointer pointer_;
  bool keyPreview_ = false;
  bool pausesWhileAway_ = false;
  bool paused_ = false;
  bool held_ = false;
  uint64_t heldSince_ = 0;   // when the timers were last held
  uint64_t heldBefore_ = 0;  // held time that ended before that
  Control* focus_ = nullptr;
  const Control* modal_ = nullptr;
  std::vector<Control*> firstFocus_;
  std::vector<Control*> escapeButtons_;
  std::vector<std::unique_ptr<Control>> controls_;
  std::vector<Control*> topLevel_;
  std::vector<std::unique_ptr<Timer>> timers_;
  std::vector<std::unique_ptr<MediaPlayer>> channels_;
};

// Told when a form is destroyed, to let go of every reference into it (input routing,
// the focus ring).
class FormWatcher {
 public:
  virtual void FormGone(const Form& form) = 0;

 protected:
  ~FormWatcher() = default;
};

// The registry of loaded forms.
class Forms {
 public:
  // The loaded instance of F, loading it first when needed.
  template <class F>
  static F& Get() {
    if (Form* f = Find(typeid(F))) return static_cast<F&>(*f);
    auto form = std::make_unique<F>();
    F& ref = *form;
    Load(typeid(F), std::move(form));
    return ref;
  }
  template <class F>
  static bool IsLoaded() {
    return Find(typeid(F)) != nullptr;
  }
  template <class F>
  static F& Show() {
    F& f = Get<F>();
    f.Show();
    return f;
  }
  template <class F>
  static void Unload() {
    if (Form* f = Find(typeid(F))) Unload(*f);
  }
  static void Unload(Form& form);

  // Visible forms, back to front.
  static const std::vector<Form*>& ZOrder();
  // The front-most visible form (it receives the keys).
  static Form* Active();
  static void BringToFront(Form& form);
  static void RemoveFromZOrder(Form& form);

  // Destroys forms that were unloaded (called between events).
  static void CollectGarbage();
  // Unloads every form (tests, and the end of the program).
  static void UnloadAll();
  // The player went away from the game's window or came back: forms that pause while the
  // player is away hold or release their timers.
  static void PlayerAway(bool away);

  // A watcher is told of every form destroyed until it stops watching.
  static void Watch(FormWatcher& watcher);
  static void Unwatch(FormWatcher& watcher);
  static void TellGone(const Form& form);

 private:
  static Form* Find(std::type_index type);
  static void Load(std::type_index type, std::unique_ptr<Form> form);
};

}  // namespace vark
