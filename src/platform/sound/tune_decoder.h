// Tunes turned into samples a block at a time: MIDI synthesised (midi_synth.h) and MP3
// decoded with mpg123, converted to a given rate and channel count as signed 16-bit
// samples, unlevelled. The same decoder serves a tune streamed as it plays and a tune
// decoded whole (a tool, a test). A tune is bounded by its length and by the processor
// time it costs per second of sound, never by the clock on the wall, so a busy machine
// does not change how much of it plays.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/sound/midi_synth.h"
#include "platform/sound/sound_decode.h"

namespace vark {

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
