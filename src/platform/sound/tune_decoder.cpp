#include "platform/sound/tune_decoder.h"

#include <SDL.h>
#include <mpg123.h>
#include <time.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <deque>
#include <optional>

#include "platform/base/owned.h"
#include "platform/sound/midi_check.h"

namespace vark {

double ThreadCpuSeconds() {
  timespec now{};
  if (clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now) != 0) return 0;  // no such clock: no cap on it
  return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9;
}

// ---- caps ----------------------------------------------------------------------------------

namespace {

std::string Seconds(double seconds) { return std::to_string(std::lround(seconds)) + " s"; }

// A tune is judged on its processor time only after this much sound, so that loading the
// first notes does not count against it.
constexpr double kCpuGraceSeconds = 2;

}  // namespace

TuneDecoder::TuneDecoder(const PcmFormat& format, double maxSeconds, double maxCpuPerSecond)
    : format_(format),
      maxFrames_(static_cast<uint64_t>(std::max(0.0, maxSeconds) * format.rate)),
      maxCpuPerSecond_(maxCpuPerSecond) {}

void TuneDecoder::Fail(std::string problem) {
  failed_ = true;
  over_ = true;
  problem_ = std::move(problem);
}

size_t TuneDecoder::Read(int16_t* out, size_t frames) {
  if (over_) return 0;
  if (frames_ >= maxFrames_) {
    over_ = true;
    problem_ = "cut at its first " + Seconds(static_cast<double>(maxFrames_) / format_.rate);
    return 0;
  }
  frames = static_cast<size_t>(std::min<uint64_t>(frames, maxFrames_ - frames_));
  double before = ThreadCpuSeconds();
  size_t got = Produce(out, frames);
  cpuSeconds_ += ThreadCpuSeconds() - before;
  frames_ += got;
  double sound = std::max(kCpuGraceSeconds, static_cast<double>(frames_) / format_.rate);
  if (cpuSeconds_ > maxCpuPerSecond_ * sound) {
    over_ = true;
    problem_ = "needs more than " + std::to_string(maxCpuPerSecond_).substr(0, 4) +
               " s of processor time a second of sound; stopped there";
  }
  if (got == 0) over_ = true;
  return got;
}

namespace {

// Turns decoded audio of any SDL format into the tune's format, a block at a time. What is
// put in comes out after Flush at the latest.
class BlockConverter {
 public:
  BlockConverter(SDL_AudioFormat format, int channels, int rate, const PcmFormat& to) {
    bool same = format == AUDIO_S16SYS && channels == to.channels && rate == to.rate;
    if (!same) stream_.reset(SDL_NewAudioStream(format, channels, rate, AUDIO_S16SYS, to.channels, to.rate));
    failed_ = !same && !stream_;
  }
  bool Failed() const { return failed_; }

  void Put(const void* data, size_t bytes) {
    if (failed_ || bytes == 0) return;
    if (!stream_) {
      const auto* samples = static_cast<const int16_t*>(data);
      same_.insert(same_.end(), samples, samples + bytes / sizeof(int16_t));
      return;
    }
    failed_ = SDL_AudioStreamPut(stream_.get(), data, static_cast<int>(bytes)) != 0;
  }
  void Flush() {
    if (stream_ && !failed_) SDL_AudioStreamFlush(stream_.get());
  }
  size_t AvailableSamples() const {
    if (failed_) return 0;
    return stream_ ? static_cast<size_t>(SDL_AudioStreamAvailable(stream_.get())) / sizeof(int16_t) : same_.size();
  }
  // Takes at most `samples` samples.
  size_t Get(int16_t* out, size_t samples) {
    if (failed_) return 0;
    if (stream_) {
      int got = SDL_AudioStreamGet(stream_.get(), out, static_cast<int>(samples * sizeof(int16_t)));
      return got > 0 ? static_cast<size_t>(got) / sizeof(int16_t) : 0;
    }
    size_t take = std::min(samples, same_.size());
    std::copy_n(same_.begin(), take, out);
    same_.erase(same_.begin(), same_.begin() + static_cast<std::ptrdiff_t>(take));
    return take;
  }

 private:
  OwnedAudioStream stream_;  // none when the audio is in the tune's format already
  std::deque<int16_t> same_;
  bool failed_ = false;
};

// A decoder that feeds a converter from its own steps until enough is there.
class ConvertingDecoder : public TuneDecoder {
 protected:
  using TuneDecoder::TuneDecoder;
  // One step of decoding into the converter; false at the end of the tune.
  virtual bool Step() = 0;
  std::optional<BlockConverter> converter_;

 private:
  size_t Produce(int16_t* out, size_t frames) override {
    const size_t channels = static_cast<size_t>(Format().channels);
    while (!ended_ && (!converter_ || converter_->AvailableSamples() < frames * channels)) {
      if (!Step() || (converter_ && converter_->Failed())) {
        ended_ = true;
        if (converter_) converter_->Flush();
      }
    }
    if (!converter_) return 0;
    size_t wanted = frames * channels;
    size_t got = converter_->Get(out, wanted);
    return got / channels;
  }
  bool ended_ = false;
};

// ---- MIDI ----------------------------------------------------------------------------------

// The file plays into a synthesiser rendered block by block; the notes still ringing after
// the last event get at most a few seconds more, until a block is silent.
class MidiDecoder : public ConvertingDecoder {
 public:
  MidiDecoder(std::string_view bytes, const PcmFormat& format, std::shared_ptr<SynthPool> synths, double maxSeconds,
              const SoundLimits& limits)
      : ConvertingDecoder(format, maxSeconds, limits.maxCpuPerSoundSecond), rate_(format.rate) {
    std::string problem = MidiStructureProblem(bytes);
    if (problem.empty()) playback_ = MidiPlayback::Start(bytes, std::move(synths), rate_, problem);
    if (playback_) converter_.emplace(AUDIO_S16SYS, 2, rate_, format);
    else Fail(problem);
  }

 private:
  static constexpr int kFrames = 1024;
  static constexpr double kRingOutSeconds = 3;
  static constexpr int kQuiet = 2;  // a ringing-out block no louder than this ends the tune

  bool Step() override {
    bool playing = playback_->Playing();
    if (!playing && ringOut_ >= kRingOutSeconds * rate_) return false;
    playback_->Render(block_, kFrames);
    converter_->Put(block_, sizeof block_);
    if (playing) return true;
    ringOut_ += kFrames;
    return std::any_of(std::begin(block_), std::end(block_), [](int16_t s) { return std::abs(s) > kQuiet; });
  }

  int rate_;
  std::unique_ptr<MidiPlayback> playback_;
  int16_t block_[kFrames * 2];
  int ringOut_ = 0;
};

// ---- MP3 -----------------------------------------------------------------------------------

void CloseAndDelete(mpg123_handle* decoder) {
  mpg123_close(decoder);  // nothing to close is fine
  mpg123_delete(decoder);
}
using OwnedMp3Decoder = std::unique_ptr<mpg123_handle, ReleaseWith<CloseAndDelete>>;

OwnedMp3Decoder NewMp3Handle() {
  mpg123_init();  // does nothing after the first time (and is safe from any thread since 1.27)
  OwnedMp3Decoder decoder(mpg123_new(nullptr, nullptr));
  if (!decoder) return decoder;
  mpg123_param(decoder.get(), MPG123_ADD_FLAGS, MPG123_QUIET, 0);
  // Signed 16-bit output at whatever rate the file has; the converter does the rest.
  mpg123_format_none(decoder.get());
  const long* rates = nullptr;
  size_t rate_count = 0;
  mpg123_rates(&rates, &rate_count);
  for (size_t i = 0; i < rate_count; ++i)
    mpg123_format(decoder.get(), rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
  if (mpg123_open_feed(decoder.get()) != MPG123_OK) decoder.reset();
  return decoder;
}

// mpg123 is fed the bytes a slice at a time as it asks for them. The first format the
// stream announces is the one converted; a stream that changes format midway ends there.
// Every read may give samples, whatever it says besides (it also asks for more bytes
// after giving the last samples of a slice).
class Mp3Decoder : public ConvertingDecoder {
 public:
  Mp3Decoder(std::string_view bytes, const PcmFormat& format, double maxSeconds, const SoundLimits& limits)
      : ConvertingDecoder(format, maxSeconds, limits.maxCpuPerSoundSecond), bytes_(bytes), decoder_(NewMp3Handle()) {
    if (!decoder_) Fail("mpg123 cannot start");
  }

 private:
  static constexpr size_t kFeedBytes = 65536;

  bool Step() override {
    size_t got = 0;
    int status = mpg123_read(decoder_.get(), buffer_, sizeof buffer_, &got);
    if (got > 0 && converter_) converter_->Put(buffer_, got);
    if (status == MPG123_NEED_MORE) return Feed();
    if (status == MPG123_NEW_FORMAT && !converter_) return StartConverter();
    if (status == MPG123_OK) return true;
    // The end of the bytes, a second format or damage: what came so far is the tune.
    if (!converter_) Fail("not an MP3 file mpg123 can decode");
    return false;
  }

  bool Feed() {
    if (fed_ >= bytes_.size()) {
      if (!converter_) Fail("not an MP3 file mpg123 can decode");
      return false;
    }
    size_t slice = std::min(kFeedBytes, bytes_.size() - fed_);
    auto* at = reinterpret_cast<const unsigned char*>(bytes_.data() + fed_);
    fed_ += slice;
    return mpg123_feed(decoder_.get(), at, slice) == MPG123_OK;
  }

  bool StartConverter() {
    long rate = 0;
    int channels = 0, encoding = 0;
    if (mpg123_getformat(decoder_.get(), &rate, &channels, &encoding) != MPG123_OK) return false;
    converter_.emplace(AUDIO_S16SYS, channels, static_cast<int>(rate), Format());
    if (converter_->Failed()) Fail("its samples cannot be converted");
    return !converter_->Failed();
  }

  std::string bytes_;
  size_t fed_ = 0;
  OwnedMp3Decoder decoder_;
  unsigned char buffer_[16384];
};

}  // namespace

std::unique_ptr<TuneDecoder> NewTuneDecoder(std::string_view bytes, const PcmFormat& format,
                                            std::shared_ptr<SynthPool> synths, double maxSeconds,
                                            const SoundLimits& limits) {
  switch (KindOfSound(bytes)) {
    case SoundKind::kMidi: return std::make_unique<MidiDecoder>(bytes, format, std::move(synths), maxSeconds, limits);
    case SoundKind::kMp3: return std::make_unique<Mp3Decoder>(bytes, format, maxSeconds, limits);
    default: return nullptr;
  }
}

}  // namespace vark
