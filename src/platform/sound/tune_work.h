// The work behind the tunes: opening each tune as it is asked for, keeping its stream's
// ring filled just ahead of the mixer, and measuring tunes' levels ahead of their first
// play. One of two drivers does that work, and nothing else differs between them: a
// worker thread of its own (the desktop), or the game's thread between events in small
// slices on a timer (where there are no threads, as in a browser). Streams come first;
// measuring goes on in the time left, the tunes asked for first.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/runtime/timer.h"
#include "platform/sound/tune_stream.h"

namespace vark {

class TuneWork {
 public:
  enum class Driver { kWorkerThread, kGameThread };
  // What this build can do: a browser build without threads has only the game's thread.
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
  static constexpr Driver kThisBuild = Driver::kGameThread;
#else
  static constexpr Driver kThisBuild = Driver::kWorkerThread;
#endif
  struct Setup {
    PcmFormat device;
    std::string soundFont;
    SoundLimits limits;
    // Told once a tune stopped early or could not play (from the driver's thread).
    std::function<void(const std::string& path, const std::string& problem)> report;
  };
  // How much sound the ring of each stream holds, and how often either driver tops it up.
  static constexpr double kRingSeconds = 1;
  static constexpr int kRefillMs = 100;
  // The game's-thread driver: frames decoded per stream per slice (more than a beat of
  // sound at any device rate up to 48 kHz) and measured per slice, and how often a slice
  // runs while a stream is opening or a tune waits to be measured; with only streams to
  // top up it runs on the refill beat, since every wake of the game's thread costs (in a
  // browser far more than the decoding itself).
  static constexpr size_t kSliceFrames = 8192;
  static constexpr size_t kMeasureSliceFrames = 8192;
  static constexpr int kSliceEveryMs = 20;
  static_assert(kSliceFrames > 48000 * kRefillMs / 1000, "a slice keeps up with a 48 kHz device on the beat");

  TuneWork(Setup setup, Driver driver);
  ~TuneWork();
  TuneWork(const TuneWork&) = delete;
  TuneWork& operator=(const TuneWork&) = delete;

  // A stream of the file (a real path), as long as `use` allows; decoding starts at once.
  std::shared_ptr<TuneStream> Start(const std::string& path, SoundUse use);
  // Measures the tune's level ahead of its first play, behind the tunes already waiting.
  void Measure(const std::string& path);
  // Blocks until every stream has opened and every measure is done (tests, measurements).
  void WaitUntilSettled();
  std::shared_ptr<SynthPool> Synths() const;

 private:
  struct State;
  static void WorkerLoop(const std::shared_ptr<State>& state);
  // One round of work; small rounds for the game's thread. True while measures remain.
  static bool Round(State& state, bool small);
  static void FillStreams(State& state, bool small);
  static void Forget(State& state, const std::weak_ptr<TuneStream>& stream);
  // Makes the synthesiser that plays, loading its font, before any tune is asked for.
  static void ReadySynthesiser(State& state);
  static bool MeasureSome(State& state, bool small);
  void Wake();
  void SliceOnTimer();

  std::shared_ptr<State> state_;
  Driver driver_;
  std::thread worker_;
  std::unique_ptr<Timer> slices_;  // the game's-thread driver
};

}  // namespace vark
