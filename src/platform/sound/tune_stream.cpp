#include "platform/sound/tune_stream.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace vark {

namespace {

constexpr size_t kBlockFrames = 1024;
// A guessed gain never lifts a tune: a soft opening is not blown up before the measured
// level comes (FluidSynth's own level is close to the tunes' loudness anyway).
constexpr double kMostGuessedGain = 1;
// The share of the way to a new gain each frame (most of the way in half a second at 22 kHz).
constexpr double kGlide = 1.0 / 11000;

}  // namespace

TuneStream::TuneStream(Opener open, int channels, size_t ringFrames, size_t guessFrames)
    : open_(std::move(open)),
      channels_(static_cast<size_t>(std::max(channels, 1))),
      ring_(ringFrames * channels_),
      guessSamples_(std::min(ring_.size() / 2, static_cast<size_t>(guessFrames) * channels_)) {}

TuneStream::~TuneStream() = default;

bool TuneStream::Open() {
  opened_ = true;
  decoder_ = open_(problem_);
  open_ = nullptr;
  if (decoder_ && !decoder_->Failed()) return true;
  if (decoder_) problem_ = decoder_->Problem();
  decoder_.reset();
  produced_ = true;
  over_ = true;
  return false;
}

bool TuneStream::Fill(size_t maxFrames) {
  if (produced_) return false;
  if (!opened_ && !Open()) return false;
  int16_t block[kBlockFrames * 8];
  const size_t blockFrames = std::min(kBlockFrames, sizeof block / sizeof block[0] / channels_);
  auto room = [&] { return ring_.size() - static_cast<size_t>(made_ - read_); };
  for (size_t added = 0; added < maxFrames && room() >= blockFrames * channels_;) {
    size_t got = decoder_->Read(block, std::min(blockFrames, maxFrames - added));
    if (got == 0) {
      Finish();
      return false;
    }
    const size_t samples = got * channels_;
    for (size_t i = 0; i < samples; ++i) ring_[(made_ + i) % ring_.size()] = block[i];
    made_ += samples;
    if (targetGain_ < 0 && made_ >= guessSamples_) GuessLevel();
    Publish();
    added += got;
  }
  return true;
}

void TuneStream::Finish() {
  problem_ = decoder_->Problem();
  decoder_.reset();                   // the synthesiser goes back at once
  if (targetGain_ < 0) GuessLevel();  // a tune shorter than the guess
  Publish();
  produced_ = true;
}

// Until a level is known the mixer gets nothing; a tune whose level is not measured yet
// plays at one guessed from its first tenth of a second until the measured one glides in.
void TuneStream::Publish() {
  if (targetGain_ >= 0) written_ = made_;
}

void TuneStream::GuessLevel() {
  int peak = 0;
  double squares = 0;
  const size_t samples = static_cast<size_t>(std::min<uint64_t>(made_, ring_.size()));
  for (size_t i = 0; i < samples; ++i) {
    int magnitude = std::abs(static_cast<int>(ring_[i]));
    peak = std::max(peak, magnitude);
    squares += static_cast<double>(magnitude) * magnitude;
  }
  targetGain_ = std::min(kMostGuessedGain, TuneGain(peak, std::sqrt(squares / std::max<size_t>(samples, 1))));
}

void TuneStream::SetLevel(const TuneLevel& level, int rate) {
  levelSet_ = true;
  endFrame_ = static_cast<uint64_t>(std::ceil(level.audibleSeconds * rate));
  targetGain_ = level.gain;
  Publish();
}

void TuneStream::MixInto(int16_t* mix, size_t frames, double volume) {
  if (over_) return;
  const uint64_t readAt = read_, writtenAt = written_;
  const uint64_t end = endFrame_;
  size_t held = static_cast<size_t>(writtenAt - readAt) / channels_;
  size_t wanted = static_cast<size_t>(std::min<uint64_t>(frames, end > played_ ? end - played_ : 0));
  size_t take = std::min(held, wanted);
  const double target = targetGain_;
  if (gain_ < 0) gain_ = target;
  for (size_t frame = 0; frame < take; ++frame) {
    gain_ += (target - gain_) * kGlide;
    for (size_t c = 0; c < channels_; ++c) {
      int16_t& out = mix[frame * channels_ + c];
      double sample = ring_[(readAt + frame * channels_ + c) % ring_.size()] * gain_ * volume;
      out = static_cast<int16_t>(std::clamp<long>(out + std::lround(sample), -32768, 32767));
    }
  }
  read_ = readAt + take * channels_;
  played_ += take;
  bool drained = produced_ && read_ == written_;
  if (played_ >= end || drained) over_ = true;
  else if (take < frames && readAt > 0) gaps_ += frames - take;
}

}  // namespace vark
