#include "platform/runtime/app.h"

#include <SDL.h>

#include <algorithm>

#include "platform/base/run_state.h"
#include "platform/runtime/input_wait.h"
#include "platform/runtime/timer.h"

namespace vark {

App& App::Get() { return CurrentRun().Get<App>(); }

App::App() : clock_(std::make_unique<RealClock>()) {}

void App::UseVirtualClock(bool on) {
  if (on) {
    auto clock = std::make_unique<VirtualClock>();
    virtualClock_ = clock.get();
    clock_ = std::move(clock);
  } else {
    clock_ = std::make_unique<RealClock>();
    virtualClock_ = nullptr;
  }
}

void App::Dispatch(const std::function<void()>& handler) {
  ++depth_;
  struct Leave {
    int& depth;
    ~Leave() { --depth; }
  } leave{depth_};
  handler();
}

void App::AfterEvent() {
  if (depth_ != 0) return;
  if (parts_) parts_->AfterEvent();
  BetweenEvents();
}

void App::BetweenEvents() {
  if (parts_) parts_->BetweenEvents(Now());
}

uint64_t App::NextDrawTime() const { return parts_ ? parts_->NextDrawTime() : UINT64_MAX; }

void App::FireDueTimers() {
  // Every timer due at the start of the pass fires once. Firing moves a timer's due time
  // past that moment, so one that falls due again meanwhile (its handler ran longer than
  // its interval) waits for the next pass, after the waiting input.
  const uint64_t now = Now();
  while (!ended_ && Timer::FireOneDue(now)) AfterEvent();
}

void App::HandlePendingInput(int timeoutMs) {
  if (IsVirtual()) return;
  SDL_Event e;
  if (WaitForInput(e, timeoutMs)) {
    do {
      if (e.type == SDL_QUIT) {
        End();
        return;
      }
      if (parts_) Dispatch([this, &e] { parts_->HandleEvent(e); });
      AfterEvent();
    } while (!ended_ && SDL_PollEvent(&e));
  }
}

void App::WaitForNextEvent() {
  constexpr uint64_t kLongestWaitMs = 1000;
  const uint64_t now = Now();
  uint64_t wake = NextDrawTime();
  uint64_t due;
  if (Timer::NextDue(due)) wake = std::min(wake, due);
  const auto timeout = static_cast<int>(wake > now ? std::min(wake - now, kLongestWaitMs) : 0);
  if (IsVirtual()) virtualClock_->Set(now + static_cast<uint64_t>(std::max(timeout, 1)));
  else HandlePendingInput(timeout);
}

void App::Run() {
  while (!ended_) {
    WaitForNextEvent();
    ++wakeups_;
    FireDueTimers();
    AfterEvent();
  }
}

void App::DoEvents() {
  HandlePendingInput(0);
  FireDueTimers();
  BetweenEvents();
}

void App::AdvanceVirtual(uint64_t target) {
  VirtualClock& clock = *virtualClock_;
  while (!ended_) {
    uint64_t due;
    if (!Timer::NextDue(due) || due > target) break;
    if (due > virtualLimit_) throw VirtualTimeExhausted{};
    clock.Set(std::max(clock.NowMs(), due));
    Timer::FireOneDue(clock.NowMs());
    AfterEvent();
  }
  if (target > virtualLimit_) throw VirtualTimeExhausted{};
  if (clock.NowMs() < target) clock.Set(target);
}

void App::WaitUntil(uint64_t ms) {
  if (IsVirtual()) {
    AdvanceVirtual(ms);
    DoEvents();
    return;
  }
  while (!ended_) {
    uint64_t now = Now();
    if (now >= ms) break;
    uint64_t wake = std::min(ms, NextDrawTime());
    uint64_t due;
    if (Timer::NextDue(due)) wake = std::min(wake, due);
    HandlePendingInput(static_cast<int>(std::max<uint64_t>(1, wake > now ? wake - now : 1)));
    FireDueTimers();
    BetweenEvents();
  }
  DoEvents();
}

}  // namespace vark
