#include "platform/sound/limiter.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

namespace vark {

namespace {

// Long enough to meet a peak over a cycle of the lowest bass notes' overtones (1.5 ms).
constexpr double kLookAheadSeconds = 0.0015;
constexpr double kReleaseSeconds = 0.1;

}  // namespace

Limiter::Limiter(int rate, int channels)
    : channels_(std::max(channels, 1)),
      look_ahead_(std::max(1, static_cast<int>(std::lround(rate * kLookAheadSeconds)))),
      release_(1 - std::exp(-1 / (kReleaseSeconds * std::max(rate, 1)))),
      delay_(static_cast<size_t>(look_ahead_ + 1) * channels_, 0),
      allowed_(look_ahead_ + 1, kMakeUpGain),
      held_(look_ahead_ + 1, kMakeUpGain) {}

bool Limiter::Settled() const {
  auto full = [](double gain) { return gain == kMakeUpGain; };
  return std::all_of(delay_.begin(), delay_.end(), [](int16_t s) { return s == 0; }) &&
         std::all_of(allowed_.begin(), allowed_.end(), full) && std::all_of(held_.begin(), held_.end(), full);
}

void Limiter::Process(int16_t* samples, size_t count) {
  // Silence into a limiter holding nothing is silence out: only the gain goes on
  // recovering, as it would frame by frame.
  if (std::all_of(samples, samples + count, [](int16_t s) { return s == 0; }) && Settled()) {
    gain_ = kMakeUpGain - (kMakeUpGain - gain_) * std::pow(1 - release_, static_cast<double>(count / channels_));
    return;
  }
  const size_t slots = allowed_.size();
  for (size_t frame = 0; frame + channels_ <= count; frame += channels_) {
    int16_t* in = samples + frame;
    int peak = 0;
    for (int c = 0; c < channels_; ++c) {
      peak = std::max(peak, std::abs(static_cast<int>(in[c])));
      delay_[at_ * channels_ + c] = in[c];
    }
    allowed_[at_] = peak * kMakeUpGain > kLimiterCeiling ? double(kLimiterCeiling) / peak : kMakeUpGain;
    // Held: the least gain any frame still ahead allows. Averaging the held gains over the
    // look-ahead gives a gain that never exceeds what the frame being sent out allows,
    // since every held gain in the average already saw that frame coming.
    held_[at_] = *std::min_element(allowed_.begin(), allowed_.end());
    double smooth = 0;
    for (double h : held_) smooth += h;
    smooth /= static_cast<double>(slots);
    gain_ = std::min(smooth, gain_ + (kMakeUpGain - gain_) * release_);
    at_ = (at_ + 1) % slots;  // now the oldest frame: the one that goes out
    for (int c = 0; c < channels_; ++c) {
      long out = std::lround(delay_[at_ * channels_ + c] * gain_);
      in[c] = static_cast<int16_t>(std::clamp<long>(out, -kLimiterCeiling, kLimiterCeiling));
    }
  }
}

std::unique_ptr<Limiter> LimiterForMixer() {
  int rate = 0, channels = 0;
  Uint16 format = 0;
  if (!Mix_QuerySpec(&rate, &format, &channels) || format != AUDIO_S16SYS) return nullptr;  // left as it is
  Mix_MasterVolume(kMixVolume);
  return std::make_unique<Limiter>(rate, channels);
}

}  // namespace vark
