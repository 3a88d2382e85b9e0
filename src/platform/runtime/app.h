// The event loop: one thread, one event at a time. It blocks until the next input event
// or timer due time, handles it, and draws the screen when something changed.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/runtime/clock.h"

union SDL_Event;

namespace vark {

// What the loop drives without knowing it: input, the screens and the sound. The platform
// connects its parts at start (ConnectPlatform in platform.h); a loop with none connected
// runs timers only.
class LoopParts {
 public:
  virtual ~LoopParts() = default;
  // One input event from the window system.
  virtual void HandleEvent(const SDL_Event& e) = 0;
  // After the outermost event: what went away during it is let go.
  virtual void AfterEvent() = 0;
  // Between events: sound, what the display should do for the front screen, drawing.
  virtual void BetweenEvents(uint64_t now) = 0;
  // When drawing wants the loop awake (UINT64_MAX: nothing waits).
  virtual uint64_t NextDrawTime() const = 0;
};

class App {
 public:
  static App& Get();

  void Connect(LoopParts* parts) { parts_ = parts; }

  // The clock in use: real in the game. A test switches to a virtual clock, which moves
  // only when told (AdvanceVirtual) and lets the loop read no real input.
  Clock& GetClock() { return *clock_; }
  uint64_t Now() const { return clock_->NowMs(); }
  void UseVirtualClock(bool on);
  bool IsVirtual() const { return virtualClock_ != nullptr; }

  // Runs until End(). The game's main loop. On the virtual clock its wait moves the clock
  // instead, by the time it would wait and at least a millisecond, so a test of the loop
  // sees a loop that never waits as a great many wake-ups.
  void Run();
  // How many times Run's loop woke up so far (a loop that waits wakes up rarely).
  uint64_t Wakeups() const { return wakeups_; }

  // Handles everything that is waiting (input, due timers, drawing), then returns.
  // Called from inside long-running handlers.
  void DoEvents();

  // Handles events until the clock reaches `ms` (or the program ends): a loop that wants
  // a fixed pace waits here, and keys, clicks and timers are still handled meanwhile.
  void WaitUntil(uint64_t ms);

  // Ends the program: the loop stops after the current event.
  void End() { ended_ = true; }
  bool Ended() const { return ended_; }
  void ResetEnded() { ended_ = false; }

  // Runs one event's handler. Nested calls are allowed (a loop inside a handler).
  void Dispatch(const std::function<void()>& handler);

  // After an outermost event: destroys unloaded forms and draws if due.
  void AfterEvent();

  // In a virtual-clock test, how far nested waits may move the clock before they stop
  // with a VirtualTimeExhausted exception (so a loop left running cannot hang a test).
  void SetVirtualLimit(uint64_t ms) { virtualLimit_ = ms; }
  // Moves a virtual clock to `target`, firing the timers that fall due on the way.
  void AdvanceVirtual(uint64_t target);

 private:
  friend class RunState;
  App();
  void HandlePendingInput(int timeoutMs);
  // Waits for input until the next timer or drawing is due, at most a second.
  void WaitForNextEvent();
  void FireDueTimers();
  // Between events: sound, what the display should do for the front screen, drawing.
  void BetweenEvents();
  uint64_t NextDrawTime() const;

  LoopParts* parts_ = nullptr;
  std::unique_ptr<Clock> clock_;
  VirtualClock* virtualClock_ = nullptr;  // the clock itself while it is virtual
  bool ended_ = false;
  int depth_ = 0;
  uint64_t virtualLimit_ = UINT64_MAX;
  uint64_t wakeups_ = 0;
};

struct VirtualTimeExhausted {};

}  // namespace vark
