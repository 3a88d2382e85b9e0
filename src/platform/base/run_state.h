// The one owner of everything that lives for a whole run: the event loop, the screen, the
// forms, the sound system, the caches and every "said once" list. The game makes one at
// start-up and the test driver a fresh one for each test, so no state leaks from one test
// into the next and nothing has to be reset by hand.
//
// Each part of the code asks for its own object by type (`CurrentRun().Get<PictureCache>()`),
// which is made on first use and destroyed with the run, newest first. An object that
// uses another one in its destructor asks for that one in its constructor, so that the
// other is older and outlives it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace vark {

class RunState {
 public:
  // Becomes the current run until it is destroyed; the run that was current before is
  // current again afterwards.
  RunState();
  ~RunState();
  RunState(const RunState&) = delete;
  RunState& operator=(const RunState&) = delete;

  // The current run. A program that made none (a small tool, a fuzz target) gets one that
  // lasts until it exits.
  static RunState& Current() { return current_ ? *current_ : ProcessRun(); }

  template <class T>
  T& Get() {
    // Most asks find the object among the recently found, at one look.
    const Recent& recent = recent_[Bucket(&kTag<T>)];
    if (recent.type == &kTag<T>) return *static_cast<T*>(recent.object);
    if (void* found = Find(&kTag<T>)) return *static_cast<T*>(found);
    // Made before it is registered: a constructor that asks for other objects has them
    // registered first, so they are destroyed after it.
    // (A class whose only instance is the run's may keep its constructor private and
    // befriend RunState.)
    std::unique_ptr<T> made(new T());
    T& ref = *made;
    Keep(&kTag<T>, made.release(), [](void* p) { delete static_cast<T*>(p); });
    return ref;
  }

 private:
  // One constant per type, whose address names the type: known when the program is
  // linked, so it needs no set-up and compares as one pointer.
  template <class T>
  static constexpr char kTag = 0;
  struct Slot {
    const void* type;
    void* object;
    void (*destroy)(void*);
  };
  struct Recent {
    const void* type = nullptr;
    void* object = nullptr;
  };
  static constexpr size_t kRecent = 64;
  static size_t Bucket(const void* type) {
    auto bits = reinterpret_cast<uintptr_t>(type);
    return (bits ^ bits >> 6) % kRecent;
  }
  // Looks through every object made (and remembers the one found among the recent).
  void* Find(const void* type);
  void Keep(const void* type, void* object, void (*destroy)(void*));

  static RunState& ProcessRun();
  static RunState* current_;

  std::vector<Slot> slots_;  // in the order they were made
  std::array<Recent, kRecent> recent_{};
  RunState* previous_;
};

inline RunState& CurrentRun() { return RunState::Current(); }

}  // namespace vark
