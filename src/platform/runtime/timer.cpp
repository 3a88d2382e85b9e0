#include "platform/runtime/timer.h"

#include <algorithm>
#include <vector>

#include "platform/base/run_state.h"
#include "platform/runtime/app.h"

namespace vark {
namespace {

std::vector<Timer*>& Running() { return CurrentRun().Get<TimerList>().running; }

void Remove(Timer* t) {
  auto& running = Running();
  running.erase(std::remove(running.begin(), running.end(), t), running.end());
}

}  // namespace

Timer::Timer(std::string name, int intervalMs, std::function<void()> onTick)
    : name_(std::move(name)), onTick_(std::move(onTick)), order_(CurrentRun().Get<TimerList>().made++) {
  SetInterval(intervalMs);
}

Timer::~Timer() { Remove(this); }

void Timer::SetInterval(int ms) {
  interval_ = std::max(0, ms);
  Remove(this);
  left_ = static_cast<uint64_t>(interval_);
  if (interval_ > 0 && !held_) {
    due_ = App::Get().Now() + left_;
    Running().push_back(this);
  }
}

void Timer::Hold(bool on) {
  if (on == held_) return;
  held_ = on;
  const uint64_t now = App::Get().Now();
  if (held_) {
    left_ = due_ > now ? due_ - now : 0;
    Remove(this);
  } else if (interval_ > 0) {
    due_ = now + left_;
    Running().push_back(this);
  }
}

bool Timer::NextDue(uint64_t& due) {
  bool any = false;
  for (Timer* t : Running()) {
    if (t->firing_) continue;
    if (!any || t->due_ < due) due = t->due_;
    any = true;
  }
  return any;
}

bool Timer::FireOneDue(uint64_t now) {
  Timer* next = nullptr;
  for (Timer* t : Running()) {
    if (t->firing_ || t->due_ > now) continue;
    if (!next || t->due_ < next->due_ || (t->due_ == next->due_ && t->order_ < next->order_)) next = t;
  }
  if (!next) return false;
  next->Fire(now);
  return true;
}

void Timer::Fire(uint64_t now) {
  // Schedule the next tick before running the handler, so that the handler may change
  // the interval (or stop the timer) and have the last word.
  uint64_t following = due_ + static_cast<uint64_t>(interval_);
  due_ = following > now ? following : now + static_cast<uint64_t>(interval_);
  // While its handler runs the timer does not fire again (a handler that waits for time
  // to pass would otherwise re-enter itself). The flag is cleared however the handler
  // ends, also by an exception: a form unloaded inside the handler is destroyed only
  // after the outermost event returns to the loop, so this timer is still alive here.
  struct Firing {
    bool& flag;
    explicit Firing(bool& f) : flag(f) { flag = true; }
    ~Firing() { flag = false; }
  } firing{firing_};
  auto handler = onTick_;  // a copy: the handler may replace itself
  App::Get().Dispatch([&handler] {
    if (handler) handler();
  });
}

}  // namespace vark
