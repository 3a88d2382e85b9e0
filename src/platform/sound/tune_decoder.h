// Tunes turned into samples a block at a time: MIDI synthesised with FluidSynth and MP3
// decoded with mpg123, converted to a given rate and channel count as signed 16-bit
// samples, unlevelled. The same decoder serves a tune streamed as it plays and a tune
// decoded whole (a tool, a test). A tune is bounded by its length and by the processor
// time it costs per second of sound, never by the clock on the wall, so a busy machine
// does not change how much of it plays.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sound/sound_decode.h"

struct _fluid_synth_t;

namespace vark {

// One soundfont and the synthesisers that play it. Each synthesiser loads the font once,
// the first time it is needed, and is used again for every later tune at its rate; a
// synthesiser busy with one tune is not handed to another. Thread-safe.
class SynthPool {
 public:
  explicit SynthPool(std::string soundFont);
  ~SynthPool();
  SynthPool(const SynthPool&) = delete;
  SynthPool& operator=(const SynthPool&) = delete;

  const std::string& Font() const { return font_; }
  // A synthesiser at `rate` with the font loaded and silent, or null when the font cannot
  // be loaded. Give it back with Return.
  _fluid_synth_t* Take(int rate);
  void Return(int rate, _fluid_synth_t* synth);
  // How many times the font was loaded (each synthesiser loads it once).
  int Loads() const;

 private:
  struct Synth;
  std::string font_;
  mutable std::mutex mutex_;
  std::multimap<int, std::unique_ptr<Synth>> idle_;
  std::vector<std::unique_ptr<Synth>> busy_;
  int loads_ = 0;
};

// A tune file's decoder. Read gives samples until the tune ends, fails or reaches a cap;
// Problem then says why it stopped early (empty when it ended by itself).
class TuneDecoder {
 public:
  virtual ~TuneDecoder() = default;
  // Writes at most `frames` frames; 0 once the tune is over.
  size_t Read(int16_t* out, size_t frames);
  const std::string& Problem() const { return problem_; }
  // True when not even the start could be decoded.
  bool Failed() const { return failed_; }
  const PcmFormat& Format() const { return format_; }

 protected:
  TuneDecoder(const PcmFormat& format, double maxSeconds, double maxCpuPerSecond);
  // The decoder's own step: at most `frames` frames, 0 at the end of the tune.
  virtual size_t Produce(int16_t* out, size_t frames) = 0;
  void Fail(std::string problem);

 private:
  PcmFormat format_;
  uint64_t maxFrames_;
  double maxCpuPerSecond_;
  uint64_t frames_ = 0;
  double cpuSeconds_ = 0;
  bool over_ = false;
  bool failed_ = false;
  std::string problem_;
};

// A decoder for a MIDI or MP3 file's bytes (null for any other content); `bytes` are
// copied. MIDI needs `synths` (may be null: the tune then fails with a reason), which the
// decoder holds until it ends.
std::unique_ptr<TuneDecoder> NewTuneDecoder(std::string_view bytes, const PcmFormat& format,
                                            std::shared_ptr<SynthPool> synths, double maxSeconds,
                                            const SoundLimits& limits);

// The processor time this thread has used, in seconds.
double ThreadCpuSeconds();

}  // namespace vark
