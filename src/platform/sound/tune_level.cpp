#include "platform/sound/tune_level.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace vark {

namespace {
constexpr size_t kBlockFrames = 256;  // about 23 ms at the measuring rate
}

void LevelMeter::Add(const int16_t* samples, size_t frames) {
  const size_t channels = static_cast<size_t>(format_.channels);
  for (size_t frame = 0; frame < frames; ++frame, ++frames_) {
    if (frames_ % kBlockFrames == 0) blocks_.emplace_back();
    Block& block = blocks_.back();
    for (size_t c = 0; c < channels; ++c) {
      int magnitude = std::abs(static_cast<int>(samples[frame * channels + c]));
      block.peak = std::max(block.peak, magnitude);
      block.squares += static_cast<double>(magnitude) * magnitude;
    }
    block.endFrame = frames_ + 1;
  }
}

size_t LevelMeter::AudibleBlocks(double gain) const {
  const double threshold = gain > 0 ? kSilence / gain : 0;
  for (size_t i = blocks_.size(); i-- > 0;)
    if (blocks_[i].peak >= threshold) return i + 1;
  return 0;
}

double LevelMeter::LoudnessOver(size_t blocks) const {
  double squares = 0;
  for (size_t i = 0; i < blocks; ++i) squares += blocks_[i].squares;
  uint64_t samples = blocks == 0 ? 0 : blocks_[blocks - 1].endFrame * static_cast<uint64_t>(format_.channels);
  return samples == 0 ? 0 : std::sqrt(squares / static_cast<double>(samples));
}

TuneLevel LevelMeter::Level() const {
  // Peaks at the measuring rate overshoot those at the device's rate (by 2 dB in a tune
  // with sharp drums), so only the loudness sets the gain; the output's limiter keeps the
  // rare peak that goes past a tune's peak limit under full scale.
  auto gainFor = [](double loudness) { return loudness > 0 ? kTuneLoudness / loudness : 1.0; };
  double first_guess = gainFor(LoudnessOver(blocks_.size()));
  double gain = gainFor(LoudnessOver(AudibleBlocks(first_guess)));
  size_t audible = AudibleBlocks(gain);
  uint64_t end = audible == 0 ? 0 : blocks_[audible - 1].endFrame;
  return {gain, static_cast<double>(end) / format_.rate};
}

LevelMeasure::LevelMeasure(std::string_view bytes, std::shared_ptr<SynthPool> synths, const SoundLimits& limits)
    : decoder_(NewTuneDecoder(bytes, kFormat, std::move(synths), limits.maxTuneSeconds, limits)) {}

bool LevelMeasure::Step(size_t frames) {
  if (!decoder_) return false;
  int16_t block[1024 * kFormat.channels];
  for (size_t done = 0; done < frames;) {
    size_t got = decoder_->Read(block, std::min<size_t>(1024, frames - done));
    if (got == 0) return false;
    meter_.Add(block, got);
    done += got;
  }
  return true;
}

}  // namespace vark
