// The last stage of the sound output: every channel is mixed with some headroom, and a
// light peak limiter on the finished mix brings it back up to full level while keeping
// every sample below full scale. A tune with effects over it may then add up to more than
// full scale without clipping: the limiter turns the loudest moments down for a moment
// instead, and nothing quiet is touched.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace vark {

// The volume every channel is mixed at (of 128, -6 dB): two sounds at full scale still
// add up without clipping in the mixer.
constexpr int kMixVolume = 64;
// The limiter's own gain, which undoes the mixing headroom.
constexpr double kMakeUpGain = 128.0 / kMixVolume;
// No sample of the finished mix goes above this (-1 dBFS).
constexpr int kLimiterCeiling = 29200;

// A peak limiter that looks a little ahead: the output is the input delayed by
// kLookAheadFrames, and the gain starts falling that long before a loud peak arrives, so
// peaks are met gently rather than clipped. The gain recovers over about a tenth of a
// second, which keeps the limiting from being heard as a flutter.
class Limiter {
 public:
  Limiter(int rate, int channels);
  // Limits interleaved 16-bit samples in place.
  void Process(int16_t* samples, size_t count);
  int DelayFrames() const { return look_ahead_; }
  double Gain() const { return gain_; }

 private:
  // Nothing held in the look-ahead and no peak in sight.
  bool Settled() const;

  int channels_;
  int look_ahead_;
  double release_;  // the share of the way back to full gain the gain goes each frame
  // The last look_ahead_ + 1 frames: input samples, the gain each one allows, and the
  // held gains the output is averaged from.
  std::vector<int16_t> delay_;
  std::vector<double> allowed_;
  std::vector<double> held_;
  size_t at_ = 0;
  double gain_ = kMakeUpGain;
};

// Mixes every channel of the open SDL_mixer device at kMixVolume and returns the limiter
// for its finished mix (nothing when the device's samples are not 16-bit).
std::unique_ptr<Limiter> LimiterForMixer();

}  // namespace vark
