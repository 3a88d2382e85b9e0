// Time for the whole program. The game runs on the real clock; tests install a virtual
// one that moves only when told. Nothing else in the code reads time directly.
#pragma once

#include <cstdint>

namespace vark {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual uint64_t NowMs() const = 0;
  // A short pause inside a running handler (animations). No event is handled meanwhile.
  virtual void Pause(int ms) = 0;
};

class RealClock : public Clock {
 public:
  uint64_t NowMs() const override;
  void Pause(int ms) override;
};

class VirtualClock : public Clock {
 public:
  uint64_t NowMs() const override { return now_; }
  void Pause(int ms) override { now_ += ms > 0 ? ms : 0; }
  void Set(uint64_t ms) { now_ = ms; }

 private:
  uint64_t now_ = 0;
};

}  // namespace vark
