// A tune played as it is decoded. A producer keeps a short ring of samples filled just
// ahead of the mixer: the sound worker, or, where there are no threads, the game's thread
// between events (TuneWork says which); the stream itself does not care who calls Fill.
// The mixer's thread only takes samples from the ring and never decodes or reads a file.
// The ring holds the tune unlevelled: its level (tune_level.h) is applied as it is mixed,
// so a level that becomes known while the tune plays glides in without a jump.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "platform/sound/tune_decoder.h"
#include "platform/sound/tune_level.h"

namespace vark {

class TuneStream {
 public:
  // Makes the decoder when first filled (a file is read then), or null with the reason.
  using Opener = std::function<std::unique_ptr<TuneDecoder>(std::string& problem)>;

  // `guessFrames`: how much of its start a tune with no measured level is judged by.
  TuneStream(Opener open, int channels, size_t ringFrames, size_t guessFrames);
  ~TuneStream();
  TuneStream(const TuneStream&) = delete;
  TuneStream& operator=(const TuneStream&) = delete;

  // ---- the producer's side (one thread at a time) ----
  // Decodes into the ring until it is full, the tune is over or `maxFrames` were added;
  // false once nothing more will come.
  bool Fill(size_t maxFrames = std::numeric_limits<size_t>::max());
  // The measured level: the gain glides to it, and the tune ends where its sound ends.
  void SetLevel(const TuneLevel& level, int rate);
  bool HasLevel() const { return levelSet_; }
  // Why the tune stopped early or did not play (after the producer is done).
  const std::string& Problem() const { return problem_; }
  bool Opened() const { return opened_; }

  // ---- the mixer's side ----
  // Adds at most `frames` frames to the mix at `volume` (a factor) on top of the level.
  void MixInto(int16_t* mix, size_t frames, double volume);
  // All of the tune was mixed, or it could not play.
  bool Over() const { return over_; }
  // Frames the mixer found the ring empty while the tune was still going, and frames
  // mixed so far.
  uint64_t GapFrames() const { return gaps_; }
  uint64_t PlayedFrames() const { return played_; }

 private:
  bool Open();
  void Finish();
  void Publish();
  // A gain from the first samples, until the measured one is known.
  void GuessLevel();

  Opener open_;
  std::unique_ptr<TuneDecoder> decoder_;
  const size_t channels_;
  std::vector<int16_t> ring_;
  const size_t guessSamples_;
  uint64_t made_ = 0;                  // samples put in the ring, ever (the producer's)
  std::atomic<uint64_t> written_{0};   // samples the mixer may take, ever
  std::atomic<uint64_t> read_{0};      // samples, ever
  std::atomic<bool> produced_{false};  // the decoder has given all it will
  std::atomic<uint64_t> endFrame_{std::numeric_limits<uint64_t>::max()};
  std::atomic<double> targetGain_{-1};
  bool levelSet_ = false;
  std::atomic<bool> opened_{false};
  std::string problem_;
  // The mixer's own.
  double gain_ = -1;
  std::atomic<bool> over_{false};
  std::atomic<uint64_t> gaps_{0};
  std::atomic<uint64_t> played_{0};
};

}  // namespace vark
