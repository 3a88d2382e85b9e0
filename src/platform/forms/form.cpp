#include "platform/forms/form.h"

#include <algorithm>

#include "platform/base/run_state.h"
#include "platform/forms/screen.h"
#include "platform/runtime/app.h"

namespace vark {
namespace {

// The run's forms: the loaded ones by type, the unloaded ones waiting to be destroyed
// between events, and the visible ones back to front.
struct FormRegistry {
  // A form that goes uses the screen, the sound channels and the timer list: they are
  // made first, so they outlive the forms.
  FormRegistry() {
    Screen::Get();
    Audio();
    CurrentRun().Get<TimerList>();
  }
  std::map<std::type_index, std::unique_ptr<Form>> loaded;
  std::vector<std::unique_ptr<Form>> graveyard;
  std::vector<Form*> stack;
  std::vector<FormWatcher*> watchers;
};

FormRegistry& Registry() { return CurrentRun().Get<FormRegistry>(); }
std::map<std::type_index, std::unique_ptr<Form>>& Loaded() { return Registry().loaded; }
std::vector<std::unique_ptr<Form>>& Graveyard() { return Registry().graveyard; }
std::vector<Form*>& Stack() { return Registry().stack; }

}  // namespace

// ---- Form ------------------------------------------------------------------------------

Form::Form(std::string name) : name_(std::move(name)) {}

Form::~Form() {
  Forms::TellGone(*this);
  // Timers and channels go first, so no tick or sound outlives the controls.
  timers_.clear();
  channels_.clear();
}

void Form::Show() {
  if (!loaded_) return;
  bool wasFront = Forms::Active() == this;
  visible_ = true;
  Forms::BringToFront(*this);
  if (!wasFront) Screen::Get().InvalidateAll();
  Screen::Get().UpdatePointer();
}

void Form::Hide() {
  if (!visible_) return;
  visible_ = false;
  Forms::RemoveFromZOrder(*this);
  Screen::Get().InvalidateAll();
  Screen::Get().UpdatePointer();
}

void Form::SetBackColor(Color c) {
  back_ = c;
  if (visible_) Screen::Get().InvalidateAll();
}

void Form::SetPausesWhileAway(bool on) {
  pausesWhileAway_ = on;
  UpdateHold();
}

void Form::SetPaused(bool on) {
  paused_ = on;
  UpdateHold();
}

void Form::UpdateHold() {
  bool hold = paused_ || (pausesWhileAway_ && GameWindow::Get().PlayerAway());
  if (hold == held_) return;
  held_ = hold;
  uint64_t now = App::Get().Now();
  if (hold) heldSince_ = now;
  else heldBefore_ += now - heldSince_;
  for (auto& t : timers_) t->Hold(hold);
}

uint64_t Form::HeldMs() const { return heldBefore_ + (held_ ? App::Get().Now() - heldSince_ : 0); }

void Form::Discard() {
  Hide();
  loaded_ = false;
  for (auto& t : timers_) t->SetInterval(0);
  for (auto& m : channels_) m->Stop();
}

bool Form::InputReaches(const Control& c) const {
  if (!modal_ || !modal_->Visible()) return true;
  for (const Control* k = &c; k; k = k->Parent())
    if (k == modal_) return true;
  return false;
}

Control* Form::FindControl(const std::string& name, int index) const {
  for (const auto& c : controls_)
    if (c->Name() == name && c->Index() == index) return c.get();
  return nullptr;
}

void Form::Adopt(std::unique_ptr<Control> control) {
  Control* raw = control.get();
  if (raw->Parent()) raw->Parent()->Children().push_back(raw);
  else topLevel_.push_back(raw);
  controls_.push_back(std::move(control));
}

Timer& Form::AddTimer(const std::string& name, int intervalMs, std::function<void()> onTick) {
  timers_.push_back(std::make_unique<Timer>(name, intervalMs, std::move(onTick)));
  return *timers_.back();
}

MediaPlayer& Form::AddMedia(const std::string& name) {
  channels_.push_back(std::make_unique<MediaPlayer>(name));
  return *channels_.back();
}

// ---- Forms -----------------------------------------------------------------------------

Form* Forms::Find(std::type_index type) {
  auto& loaded = Loaded();
  auto it = loaded.find(type);
  return it == loaded.end() ? nullptr : it->second.get();
}

void Forms::Load(std::type_index type, std::unique_ptr<Form> form) {
  Form& ref = *form;
  ref.MarkLoaded();
  Loaded()[type] = std::move(form);
  ref.Form_Load();
}

void Forms::Unload(Form& form) {
  auto& loaded = Loaded();
  for (auto it = loaded.begin(); it != loaded.end(); ++it) {
    if (it->second.get() != &form) continue;
    form.Discard();
    TellGone(form);
    // The form may be unloading itself from one of its own handlers: keep the object
    // until the outermost event is over.
    Graveyard().push_back(std::move(it->second));
    loaded.erase(it);
    return;
  }
}

const std::vector<Form*>& Forms::ZOrder() { return Stack(); }

Form* Forms::Active() { return Stack().empty() ? nullptr : Stack().back(); }

void Forms::BringToFront(Form& form) {
  RemoveFromZOrder(form);
  Stack().push_back(&form);
}

void Forms::RemoveFromZOrder(Form& form) {
  auto& stack = Stack();
  stack.erase(std::remove(stack.begin(), stack.end(), &form), stack.end());
}

void Forms::CollectGarbage() {
  // Destroying a form may unload others (never in this game, but keep it safe).
  while (!Graveyard().empty()) {
    auto dead = std::move(Graveyard());
    Graveyard().clear();
    dead.clear();
  }
}

void Forms::PlayerAway(bool) {
  for (auto& [type, form] : Loaded()) form->UpdateHold();
}

void Forms::Watch(FormWatcher& watcher) { Registry().watchers.push_back(&watcher); }

void Forms::Unwatch(FormWatcher& watcher) { std::erase(Registry().watchers, &watcher); }

void Forms::TellGone(const Form& form) {
  for (FormWatcher* watcher : Registry().watchers) watcher->FormGone(form);
}

void Forms::UnloadAll() {
  while (!Loaded().empty()) Unload(*Loaded().begin()->second);
  CollectGarbage();
}

}  // namespace vark
