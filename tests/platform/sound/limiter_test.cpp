// The limiter on the finished mix: quiet sound comes out as it went in, only delayed and
// brought back up from the mixing headroom; loud sound is turned down smoothly rather than
// clipped, and the gain comes back once it has passed.
#include "platform/sound/limiter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace vark {
namespace {

constexpr int kRate = 22050;

// Stereo sine frames at `level`, left and right in opposite phase.
std::vector<int16_t> Sine(size_t frames, double level, double hz = 220) {
  std::vector<int16_t> s;
  for (size_t i = 0; i < frames; ++i) {
    auto v = static_cast<int16_t>(std::lround(level * std::sin(2 * M_PI * hz * i / kRate)));
    s.push_back(v);
    s.push_back(static_cast<int16_t>(-v));
  }
  return s;
}

std::vector<int16_t> Limited(std::vector<int16_t> samples, size_t piece) {
  Limiter limiter(kRate, 2);
  for (size_t at = 0; at < samples.size(); at += piece)
    limiter.Process(samples.data() + at, std::min(piece, samples.size() - at));
  return samples;
}

TEST(Limiter, QuietSoundComesOutDelayedAtFullLevelWhereverTheBuffersBreak) {
  std::vector<int16_t> in = Sine(4000, 5000);
  Limiter probe(kRate, 2);
  const size_t delay = 2 * static_cast<size_t>(probe.DelayFrames());
  for (size_t piece : {2u, 1024u, 8000u}) {
    std::vector<int16_t> out = Limited(in, piece);
    for (size_t i = 0; i < delay; ++i) ASSERT_EQ(out[i], 0) << piece;
    for (size_t i = delay; i < out.size(); ++i)
      ASSERT_NEAR(out[i], in[i - delay] * kMakeUpGain, 1) << piece << " at " << i;
  }
}

TEST(Limiter, LoudSoundIsTurnedDownSmoothlyAndTheGainComesBack) {
  // A second of a mix twice as loud as the output can carry, then quiet music again.
  std::vector<int16_t> in = Sine(kRate, 32000 / kMakeUpGain * 2);
  std::vector<int16_t> quiet = Sine(kRate, 3000);
  in.insert(in.end(), quiet.begin(), quiet.end());
  std::vector<int16_t> out = Limited(in, 1024);
  int peak = 0, at_ceiling = 0;
  for (size_t i = 0; i < size_t(2 * kRate); ++i) {
    int v = std::abs(out[i]);
    peak = std::max(peak, v);
    at_ceiling += v >= kLimiterCeiling - 1;
  }
  EXPECT_LE(peak, kLimiterCeiling);
  EXPECT_GT(peak, kLimiterCeiling * 0.9) << "turned down no more than needed";
  // Only each crest's top sample touches the ceiling (a sine flattened against it would
  // sit there for a third of the time).
  EXPECT_LT(at_ceiling, 2 * kRate / 20) << "a rounded sine, not one flattened against the ceiling";
  // Within a second of the quiet part, it is back at full level.
  const size_t delay = 2 * static_cast<size_t>(Limiter(kRate, 2).DelayFrames());
  for (size_t i = 2 * kRate + 2 * kRate * 8 / 10; i < out.size(); ++i)
    ASSERT_NEAR(out[i], in[i - delay] * kMakeUpGain, 2) << i;
}

// Silence after a loud peak: once the peak is out, the limiter skips the work on silent
// buffers, yet its gain comes back exactly as if every frame had been worked through, so
// the next sound has the same level either way.
TEST(Limiter, SilenceCostsNoWorkAndLeavesTheLevelOfWhatFollowsAsItWas) {
  std::vector<int16_t> loud = Sine(2000, 30000), hush(2 * 4096, 0), after = Sine(2000, 20000);
  auto play = [&](size_t hushPiece) {
    std::vector<int16_t> mix = loud;
    mix.insert(mix.end(), hush.begin(), hush.end());
    mix.insert(mix.end(), after.begin(), after.end());
    Limiter limiter(kRate, 2);
    limiter.Process(mix.data(), loud.size());
    for (size_t at = loud.size(); at < loud.size() + hush.size(); at += hushPiece)
      limiter.Process(mix.data() + at, hushPiece);
    limiter.Process(mix.data() + loud.size() + hush.size(), after.size());
    return mix;
  };
  std::vector<int16_t> worked = play(hush.size()), skipped = play(256);
  ASSERT_EQ(worked.size(), skipped.size());
  int most = 0;
  for (size_t i = 0; i < worked.size(); ++i) most = std::max(most, std::abs(worked[i] - skipped[i]));
  EXPECT_LE(most, 1) << "at most a rounding apart";
}

}  // namespace
}  // namespace vark
