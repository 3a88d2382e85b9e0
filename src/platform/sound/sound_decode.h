// Turning sound files into samples the mixer can play as they are: WAV effects, MIDI
// tunes rendered with FluidSynth and MP3 tunes decoded with mpg123, all converted to the
// sound device's rate and channel count as signed 16-bit samples. Effects and tunes are
// levelled with headroom, so that effects over music never reach full scale, and tunes
// lose the digital silence after their last note, so a tune that restarts does so at once.
// Sound files are content a player may swap, so nothing here trusts them: only plain files
// are read, the read is capped, the format comes from the bytes, and decoding stops at a
// cap on length and on processor time, keeping what it has decoded so far.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vark {

// Interleaved signed 16-bit samples.
using Samples = std::vector<int16_t>;

struct PcmFormat {
  int rate = 44100;
  int channels = 2;
};

// Levels, set so that every screen sounds about equally loud (within 3 LU of the others
// over a minute of play) and the player never has to reach for the volume. Tunes sit near
// -20 LUFS; effects peak a little under the tunes' loudest drum hits and, being short,
// stand out as punches over them. The sound output mixes with headroom and a limiter
// (limiter.h) keeps every sample under full scale even when a tune and three effects
// peak at one moment.
//
// Loudest sample of an effect (-11.5 dBFS).
constexpr int kEffectPeak = 8700;
// Tunes are brought to one loudness (root mean square -22.5 dBFS, about -20 LUFS) and
// never peak above -4.5 dBFS.
constexpr double kTuneLoudness = 2460;
constexpr int kTunePeak = 19500;
// Anything quieter than this (-60 dBFS) at the end of a tune counts as silence.
constexpr int kSilence = 33;

// Samples gathered piece by piece while a file decodes, with the figures levelling needs.
// Finishing copies them into one buffer while the pieces are freed, so a long tune never
// needs much more than its own size. Samples past `maxSamples` are dropped.
class PcmBlocks {
 public:
  explicit PcmBlocks(int channels, size_t maxSamples = std::numeric_limits<size_t>::max())
      : channels_(channels), max_(maxSamples) {}
  void Append(const int16_t* samples, size_t count);
  size_t SampleCount() const { return count_; }
  // True once `maxSamples` are held: decoding can stop.
  bool Full() const { return count_ >= max_; }
  int Peak() const { return peak_; }
  // Root mean square over the first `frames` frames (the rest is taken to be silence).
  double Loudness(size_t frames) const;
  // Frames up to and including the last one whose loudest sample, scaled by `gain`,
  // reaches kSilence.
  size_t AudibleFrames(double gain) const;
  // One buffer of the first `frames` frames scaled by `gain`; the pieces are used up.
  Samples Finish(double gain, size_t frames);

 private:
  int channels_;
  size_t max_;
  std::vector<Samples> blocks_;
  size_t count_ = 0;
  int peak_ = 0;
  double squares_ = 0;
};

// Scale that brings an effect's peak to kEffectPeak.
double EffectGain(int peak);
// Scale that brings a tune to kTuneLoudness without its peak passing kTunePeak.
double TuneGain(int peak, double loudness);

// An effect levelled as it is (short sounds keep their natural ending).
Samples FinishEffect(PcmBlocks& blocks);
// A tune levelled and cut after its last audible frame.
Samples FinishTune(PcmBlocks& blocks);

// What a sound is used for: the channel that plays it knows. The use, not the file's
// content, sets how long it may sound and at which volume it plays.
enum class SoundUse { kEffect, kTune };

// The game names its effects *.wav and its tunes *.mid or *.mp3: the name a screen gives a
// channel says the use, whatever the file holds.
SoundUse UseOfName(std::string_view path);

// What one sound file may cost. No sound of this game comes near these.
struct SoundLimits {
  size_t maxWaveBytes = size_t{4} << 20;
  size_t maxMidiBytes = size_t{4} << 20;
  size_t maxMp3Bytes = size_t{16} << 20;
  double maxEffectSeconds = 30;  // of sound at the device's rate
  double maxTuneSeconds = 600;   // of sound at the device's rate
  // Processor time a second of sound may cost (the game's tunes need about a hundredth):
  // more means a file made to keep the synthesiser busy, and it stops there.
  double maxCpuPerSoundSecond = 0.5;
  double MaxSeconds(SoundUse use) const { return use == SoundUse::kEffect ? maxEffectSeconds : maxTuneSeconds; }
  size_t MaxBytes(std::string_view head) const;
};

struct DecodedSound {
  Samples samples;      // empty when the file could not be decoded
  std::string problem;  // why it is empty or was cut short; empty when it decoded whole
};

// Decodes a sound file whole to the device format: RIFF WAVE files, standard MIDI files
// and MP3 files. WAVE files are levelled as effects, MIDI and MP3 as tunes; the length cap
// is that of `use`, or of the content when no use is given. A file that reaches a cap
// keeps what was decoded up to there. Nothing comes out when the file cannot be decoded or
// `cancelled` was set meanwhile. A MIDI tune needs `soundFont`.
DecodedSound DecodeSoundFile(const std::string& path, const PcmFormat& device, const std::string& soundFont,
                             const std::atomic<bool>& cancelled, const SoundLimits& limits = {},
                             std::optional<SoundUse> use = std::nullopt);
// The same for a file's bytes (at most the file size cap of their format).
DecodedSound DecodeSoundBytes(std::string_view bytes, const PcmFormat& device, const std::string& soundFont,
                              const std::atomic<bool>& cancelled, const SoundLimits& limits = {},
                              std::optional<SoundUse> use = std::nullopt);

// The bytes of a sound file: read only when it is a plain file whose first bytes name a
// sound format, and only up to that format's cap.
std::optional<std::string> ReadSoundBytes(const std::string& path, const SoundLimits& limits, std::string& problem);

// What a file's first bytes say it holds.
enum class SoundKind { kWave, kMidi, kMp3, kUnknown };
SoundKind KindOfSound(std::string_view head);
constexpr size_t kSoundKindHeadBytes = 12;

// Whether the file holds a tune (MIDI or MP3) rather than a short effect, judged by its
// first bytes; tunes are streamed as they play. False for anything but a
// plain file, found without waiting on a named pipe.
bool HoldsTune(const std::string& path);

}  // namespace vark
