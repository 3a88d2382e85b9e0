// Timers: the game's only scheduling. A timer has an interval in milliseconds; setting a
// non-zero interval starts counting from that moment (also when it was already running),
// 0 stops it. When the loop falls behind, missed ticks collapse into one tick. A held timer
// keeps its interval and the time left to its next tick, and goes on from there when let go.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vark {

class Timer;

// The run's timers that run, and how many timers were made (of two timers due at the same
// time, the older fires first). An object of the run that owns a timer asks for this list
// in its constructor, so the list is the older of the two and outlives the timer.
struct TimerList {
  std::vector<Timer*> running;
  uint64_t made = 0;
};

class Timer {
 public:
  Timer(std::string name, int intervalMs, std::function<void()> onTick);
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  void SetInterval(int ms);
  int Interval() const { return interval_; }
  const std::string& Name() const { return name_; }
  // Holds the timer (the player is away) or lets it go on. An interval set while held
  // counts from the moment the timer is let go.
  void Hold(bool on);
  bool Held() const { return held_; }
  void SetHandler(std::function<void()> onTick) { onTick_ = std::move(onTick); }

  // The loop's side: the earliest due time of all running timers, and firing one.
  static bool NextDue(uint64_t& due);
  // Fires the earliest timer due at or before `now`; false when none is due.
  static bool FireOneDue(uint64_t now);

 private:
  void Fire(uint64_t now);

  std::string name_;
  int interval_ = 0;
  std::function<void()> onTick_;
  uint64_t due_ = 0;
  uint64_t left_ = 0;   // while held: the time that was left to the next tick
  uint64_t order_ = 0;  // creation order breaks ties between timers due at once
  bool firing_ = false;
  bool held_ = false;
};

}  // namespace vark
