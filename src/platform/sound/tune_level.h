// A tune's level, measured once before it is streamed: the gain that brings it to the
// tunes' common loudness (sound_decode.h) and where its last audible sound ends. The
// measuring pass decodes the whole tune quickly at a low rate (a quarter of the work of
// playing it) and keeps only a few figures per block, never the samples: loudness and
// peaks hardly depend on the rate, while the synthesiser's work does.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/sound/tune_decoder.h"

namespace vark {

struct TuneLevel {
  double gain = 1;
  double audibleSeconds = 0;  // the tune ends here, after its last audible sound
};

// Figures gathered block by block from samples at one format.
class LevelMeter {
 public:
  explicit LevelMeter(const PcmFormat& format) : format_(format) {}
  void Add(const int16_t* samples, size_t frames);
  // As for a tune decoded whole (FinishTune): the loudness over the music only, the
  // silence after it left out.
  TuneLevel Level() const;

 private:
  struct Block {
    int peak = 0;
    double squares = 0;
    uint64_t endFrame = 0;
  };
  size_t AudibleBlocks(double gain) const;
  double LoudnessOver(size_t blocks) const;
  PcmFormat format_;
  std::vector<Block> blocks_;
  uint64_t frames_ = 0;
};

// The measuring pass for one tune file's bytes, done a slice at a time.
class LevelMeasure {
 public:
  // The rate the tune is measured at.
  static constexpr PcmFormat kFormat{11025, 2};
  LevelMeasure(std::string_view bytes, std::shared_ptr<SynthPool> synths, const SoundLimits& limits);
  // Measures about `frames` frames more; false once the tune is measured.
  bool Step(size_t frames);
  TuneLevel Level() const { return meter_.Level(); }
  bool Failed() const { return !decoder_ || decoder_->Failed(); }

 private:
  std::unique_ptr<TuneDecoder> decoder_;
  LevelMeter meter_{kFormat};
};

}  // namespace vark
