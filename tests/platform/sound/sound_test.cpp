// Decoded sounds: levelling with headroom, trimming the silence after a tune, the store
// that decodes tunes on a worker, channels asked to play a tune still decoding, and the
// game's own sound files decoded the way the game decodes them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <filesystem>
#include <future>
#include <mutex>
#include <set>

#include <sys/stat.h>

#include "platform/sound/limiter.h"
#include "platform/sound/media.h"
#include "platform/sound/mixer_backend.h"
#include "platform/sound/sound_decode.h"
#include "support/driver.h"

namespace vark {
namespace {

// A stereo tone of `frames` frames at `level`, then `silent` frames of near silence.
Samples ToneThenHush(size_t frames, double level, size_t silent, int hush) {
  Samples s;
  for (size_t i = 0; i < frames; ++i) {
    auto v = static_cast<int16_t>(std::lround(level * std::sin(i * 0.05)));
    s.push_back(v);
    s.push_back(v);
  }
  for (size_t i = 0; i < silent; ++i) {
    s.push_back(static_cast<int16_t>(i % 2 ? hush : -hush));
    s.push_back(0);
  }
  return s;
}

PcmBlocks InPieces(const Samples& s, size_t piece) {
  PcmBlocks blocks(2);
  for (size_t at = 0; at < s.size(); at += piece) blocks.Append(s.data() + at, std::min(piece, s.size() - at));
  return blocks;
}

int Peak(const Samples& s) {
  int peak = 0;
  for (int16_t v : s) peak = std::max(peak, std::abs(static_cast<int>(v)));
  return peak;
}

double Loudness(const Samples& s) {
  double squares = 0;
  for (int16_t v : s) squares += double(v) * v;
  return std::sqrt(squares / s.size());
}

TEST(SoundLevels, TuneLosesTheSilenceAfterItsLastNoteWhereverThePiecesBreak) {
  Samples tune = ToneThenHush(3000, 8000, 5000, 2);
  for (size_t piece : {7u, 1000u, 100000u}) {
    PcmBlocks blocks = InPieces(tune, piece);
    Samples done = FinishTune(blocks);
    double gain = TuneGain(8000, Loudness(Samples(tune.begin(), tune.begin() + 6000)));
    // The tone's last frames cross zero, so the cut falls within its final cycle.
    EXPECT_LE(done.size(), 6000u) << piece;
    EXPECT_GE(done.size(), 6000u - 2 * 130) << piece;
    EXPECT_GE(std::abs(done[done.size() - 2]), std::lround(kSilence * 0.99)) << piece;
    EXPECT_NEAR(Peak(done), 8000 * gain, 2) << piece;
  }
}

TEST(SoundLevels, QuietTailIsCutOnlyBelowTheSilenceLevelAfterLevelling) {
  // A hush that levelling raises above -60 dBFS stays; the same hush after a loud tune goes.
  double quiet_gain = TuneGain(400, 400 / std::sqrt(2.0));
  int hush = static_cast<int>(kSilence / quiet_gain) + 2;
  PcmBlocks quiet = InPieces(ToneThenHush(3000, 400, 1000, hush), 512);
  EXPECT_EQ(FinishTune(quiet).size(), 2u * 4000);
  PcmBlocks loud = InPieces(ToneThenHush(3000, 20000, 1000, hush), 512);
  EXPECT_LE(FinishTune(loud).size(), 2u * 3000);
  PcmBlocks nothing = InPieces(ToneThenHush(0, 0, 1000, 0), 512);
  EXPECT_TRUE(FinishTune(nothing).empty());
}

TEST(SoundLevels, EffectsAndTunesKeepHeadroomSoTheyNeverReachFullScaleTogether) {
  Samples blaring(4000, 32767);
  for (size_t i = 1; i < blaring.size(); i += 2) blaring[i] = -32768;
  PcmBlocks effect = InPieces(blaring, 300);
  Samples levelled = FinishEffect(effect);
  EXPECT_EQ(Peak(levelled), kEffectPeak);
  PcmBlocks whisper = InPieces(ToneThenHush(4000, 50, 0, 0), 300);
  EXPECT_EQ(Peak(FinishEffect(whisper)), kEffectPeak);
  // A spiky tune is held at its peak limit; a smooth one reaches the common loudness.
  Samples spiky = ToneThenHush(20000, 600, 0, 0);
  spiky[100] = 30000;
  PcmBlocks spiky_blocks = InPieces(spiky, 999);
  EXPECT_EQ(Peak(FinishTune(spiky_blocks)), kTunePeak);
  PcmBlocks smooth_blocks = InPieces(ToneThenHush(20000, 30000, 0, 0), 999);
  Samples smooth = FinishTune(smooth_blocks);
  EXPECT_NEAR(Loudness(smooth), kTuneLoudness, 5);
  EXPECT_LT(Peak(smooth), kTunePeak);
  EXPECT_LT((3 * kEffectPeak + kTunePeak) * kMixVolume / 128, 32767)
      << "one effect started on three channels at once, over a tune, mixed with the output's headroom";
}

// ---- the store and its channels ------------------------------------------------------------

// A decoder the test drives: each decode waits until the test lets it finish.
class HeldDecoder {
 public:
  SoundStore::Decoder Function() {
    return [this](const std::string& path, const std::atomic<bool>& cancelled) { return Decode(path, cancelled); };
  }
  void Let(const std::string& path) {
    std::lock_guard lock(mutex_);
    let_.insert(path);
    changed_.notify_all();
  }
  void WaitStarted(const std::string& path) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return std::count(started_.begin(), started_.end(), path) > 0; });
  }
  std::vector<std::string> Started() {
    std::lock_guard lock(mutex_);
    return started_;
  }

 private:
  Samples Decode(const std::string& path, const std::atomic<bool>& cancelled) {
    std::unique_lock lock(mutex_);
    started_.push_back(path);
    changed_.notify_all();
    if (path.ends_with(".mid")) {
      // Wakes now and then to notice that the store is shutting down.
      while (!let_.count(path) && !cancelled) changed_.wait_for(lock, std::chrono::milliseconds(20));
    }
    return path.starts_with("bad") ? Samples() : Samples(64, 1000);
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  std::set<std::string> let_;
  std::vector<std::string> started_;
};

class FakeMixer : public MixerOutput {
 public:
  void Allocate(int) override {}
  void Start(int channel, SoundStore::Sound sound) override { playing[channel] = std::move(sound); }
  void Halt(int channel) override { playing.erase(channel); }
  bool Playing(int channel) const override { return playing.count(channel) != 0; }
  std::map<int, SoundStore::Sound> playing;
};

struct Channels {
  HeldDecoder decoder;
  FakeMixer* mixer = new FakeMixer;
  MixerBackend backend{std::unique_ptr<MixerOutput>(mixer), decoder.Function(),
                       [](const std::string& path) { return path.ends_with(".mid"); }};
  void Finish(const std::string& path) {
    decoder.Let(path);
    backend.Store().WaitUntilIdle();
    backend.Pump();
  }
};

TEST(SoundChannels, ChannelAskedToPlayATuneStillDecodingCountsAsPlayingAndStartsWhenReady) {
  Channels c;
  int music = c.backend.OpenChannel(), again = c.backend.OpenChannel(), stopped = c.backend.OpenChannel();
  c.backend.Play(music, "menu.mid");
  c.backend.Play(again, "menu.mid");
  c.backend.Play(stopped, "menu.mid");
  c.backend.Stop(stopped);
  c.backend.Pump();
  EXPECT_TRUE(c.backend.IsPlaying(music));
  EXPECT_FALSE(c.backend.IsPlaying(stopped));
  EXPECT_TRUE(c.mixer->playing.empty());
  c.Finish("menu.mid");
  EXPECT_TRUE(c.mixer->Playing(music));
  EXPECT_TRUE(c.mixer->Playing(again));
  EXPECT_FALSE(c.mixer->Playing(stopped));
  EXPECT_EQ(c.decoder.Started(), std::vector<std::string>{"menu.mid"});  // decoded once
}

TEST(SoundChannels, EffectsPlayAtOnceWhileATuneDecodesAndFailuresStaySilent) {
  Channels c;
  int music = c.backend.OpenChannel(), effect = c.backend.OpenChannel();
  c.backend.Play(music, "long.mid");
  c.decoder.WaitStarted("long.mid");
  c.backend.Play(effect, "click.wav");
  EXPECT_TRUE(c.mixer->Playing(effect));
  c.backend.Play(effect, "bad.wav");
  EXPECT_FALSE(c.backend.IsPlaying(effect));
  c.backend.Play(effect, "bad.mid");
  c.decoder.Let("long.mid");
  c.Finish("bad.mid");
  EXPECT_FALSE(c.backend.IsPlaying(effect));
  EXPECT_TRUE(c.mixer->Playing(music));
}

TEST(SoundChannels, TuneAskedForGoesAheadOfPreparedOnesAndOnlyPreparedTunesAreKept) {
  Channels c;
  c.backend.Prepare("first.mid");
  c.backend.Prepare("second.mid");
  c.decoder.WaitStarted("first.mid");
  int channel = c.backend.OpenChannel();
  c.backend.Play(channel, "once.mid");
  c.decoder.Let("first.mid");
  c.decoder.WaitStarted("once.mid");
  c.decoder.Let("second.mid");
  c.Finish("once.mid");
  EXPECT_EQ(c.decoder.Started(), (std::vector<std::string>{"first.mid", "once.mid", "second.mid"}));
  std::weak_ptr<const Samples> once = c.mixer->playing[channel];
  c.backend.CloseChannel(channel);
  EXPECT_TRUE(once.expired()) << "a tune played once is let go with its channel";
  c.backend.Play(channel, "first.mid");
  std::weak_ptr<const Samples> kept = c.mixer->playing[channel];
  c.backend.CloseChannel(channel);
  EXPECT_FALSE(kept.expired());
  c.backend.Play(channel, "once.mid");
  EXPECT_TRUE(c.backend.IsPlaying(channel)) << "decoded again when asked again";
  c.Finish("once.mid");
  EXPECT_TRUE(c.mixer->Playing(channel));
}

// ---- the game's own files ----------------------------------------------------------------

const std::filesystem::path kSfx = std::filesystem::path(VARK_GAME_DIR) / "Sfx";
const char kSoundFont[] = "/usr/share/sounds/sf2/TimGM6mb.sf2";

Samples DecodeGameFile(const std::string& name, const PcmFormat& format = {}) {
  static const std::atomic<bool> never{false};
  return DecodeSoundFile((kSfx / name).string(), format, kSoundFont, never).samples;
}

TEST(GameSounds, EffectsPeakAtTheEffectLevelAfterResamplingAndNoneReachesFullScale) {
  for (const char* name : {"Click.wav", "Open.wav", "caco_alert.wav", "explosion3.wav", "Shoot.wav", "Arrgh.wav"}) {
    Samples s = DecodeGameFile(name);
    ASSERT_FALSE(s.empty()) << name;
    EXPECT_EQ(Peak(s), kEffectPeak) << name;
  }
}

TEST(GameSounds, TunesShareOneLoudnessEndOnTheirLastNoteAndStayBelowTheirPeakLimit) {
  if (!std::filesystem::exists(kSoundFont)) GTEST_SKIP() << "no soundfont installed";
  PcmFormat half_rate{22050, 2};  // halves the rendering time; the levels do not depend on it
  for (const char* name : {"Track1.mid", "Track4.mid", "Intro.mp3"}) {
    Samples s = DecodeGameFile(name, half_rate);
    ASSERT_GT(s.size(), 44100u * 10) << name;
    EXPECT_LE(Peak(s), kTunePeak) << name;
    EXPECT_NEAR(20 * std::log10(Loudness(s) / kTuneLoudness), 0, 1.0) << name;
    // The last tenth of a second still sounds: no silent hole before the tune restarts.
    Samples tail(s.end() - 4410, s.end());
    EXPECT_GE(Peak(tail), kSilence) << name;
  }
}

TEST(GameSounds, MissingOrForeignFilesDecodeToNothing) {
  EXPECT_TRUE(DecodeGameFile("no such file.wav").empty());
  EXPECT_FALSE(HoldsTune((kSfx / "Click.wav").string()));
  EXPECT_TRUE(HoldsTune((kSfx / "Track2.mid").string()));
  EXPECT_TRUE(HoldsTune((kSfx / "Intro.mp3").string()));
  EXPECT_TRUE(DecodeSoundFile((kSfx / "Track2.mid").string(), {}, "", std::atomic<bool>(false)).samples.empty());
}

// ---- files a player may swap in -------------------------------------------------------------

// One note lasting 2^28 ticks at the slowest tempo: centuries of sound from 44 bytes.
std::string EndlessMidi() {
  using namespace std::string_literals;
  std::string track =
      "\x00\xFF\x51\x03\xFF\xFF\xFF"s  // tempo: 16.7 s a beat
      "\x00\x90\x3C\x64"s              // note on
      "\xFF\xFF\xFF\x7F\x80\x3C\x00"s  // note off 2^28 - 1 ticks later
      "\x00\xFF\x2F\x00"s;             // end of track
  return "MThd\x00\x00\x00\x06\x00\x00\x00\x01\x00\x01"s + "MTrk\x00\x00\x00"s + char(track.size()) + track;
}

void PutLe(std::string& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A 16-bit PCM WAVE file whose header claims `claimedBytes` of data while it holds `frames`.
std::string Wave(int channels, uint32_t rate, uint32_t claimedBytes, size_t frames, int blockAlign = -1) {
  std::string w = "RIFF";
  PutLe(w, 36 + claimedBytes, 4);
  w += "WAVEfmt ";
  PutLe(w, 16, 4);
  PutLe(w, 1, 2);
  PutLe(w, channels, 2);
  PutLe(w, rate, 4);
  PutLe(w, rate * channels * 2, 4);
  PutLe(w, blockAlign >= 0 ? blockAlign : channels * 2, 2);
  PutLe(w, 16, 2);
  w += "data";
  PutLe(w, claimedBytes, 4);
  for (size_t i = 0; i < frames * channels; ++i) PutLe(w, static_cast<uint32_t>(i * 977 % 20000), 2);
  return w;
}

DecodedSound DecodeBytes(const std::string& bytes, const SoundLimits& limits = {}) {
  static const std::atomic<bool> never{false};
  return DecodeSoundBytes(bytes, PcmFormat{22050, 2}, kSoundFont, never, limits);
}

TEST(HostileSounds, EndlessTuneStopsAtTheLengthCapAndKeepsWhatItRendered) {
  if (!std::filesystem::exists(kSoundFont)) GTEST_SKIP() << "no soundfont installed";
  ASSERT_EQ(EndlessMidi().size(), 44u);
  SoundLimits limits;
  limits.maxTuneSeconds = 8;
  DecodedSound tune = DecodeBytes(EndlessMidi(), limits);
  EXPECT_FALSE(tune.samples.empty());
  EXPECT_LE(tune.samples.size(), 8u * 22050 * 2);
  EXPECT_NE(tune.problem.find("cut at"), std::string::npos) << tune.problem;
  // Out of time before the first block is done: what is there is kept, and it says why.
  limits.maxDecodeSeconds = 0;
  DecodedSound rushed = DecodeBytes(EndlessMidi(), limits);
  EXPECT_LE(rushed.samples.size(), 8192u * 2);
  EXPECT_NE(rushed.problem.find("longer than"), std::string::npos) << rushed.problem;
}

TEST(HostileSounds, WaveHeadersThatLieAreClippedOrRefused) {
  // Claims 2 GB, holds a tenth of a second: what it holds plays.
  DecodedSound clipped = DecodeBytes(Wave(1, 22050, 0x7FFFFFF0, 2205));
  EXPECT_EQ(clipped.samples.size(), 2205u * 2);
  EXPECT_TRUE(clipped.problem.empty()) << clipped.problem;
  // Over the effect cap: cut there.
  SoundLimits limits;
  limits.maxEffectSeconds = 0.05;
  DecodedSound cut = DecodeBytes(Wave(1, 22050, 2205 * 2, 2205), limits);
  EXPECT_NEAR(static_cast<double>(cut.samples.size()), 0.05 * 22050 * 2, 4);
  EXPECT_FALSE(cut.problem.empty());
  for (const std::string& bad : {Wave(0, 22050, 400, 100), Wave(9, 22050, 400, 100), Wave(1, 7, 400, 100),
                                 Wave(1, 4000000, 400, 100), Wave(1, 22050, 400, 100, 0), Wave(2, 22050, 400, 100, 3),
                                 Wave(1, 22050, 0, 0), Wave(1, 22050, 400, 100).substr(0, 30)}) {
    DecodedSound refused = DecodeBytes(bad);
    EXPECT_TRUE(refused.samples.empty());
    EXPECT_FALSE(refused.problem.empty());
  }
}

TEST(HostileSounds, OnlyPlainFilesWithinTheSizeCapAreRead) {
  TempFolder dir;
  static const std::atomic<bool> never{false};
  std::string wave = Wave(1, 22050, 2000, 1000);
  dir.Write("big.wav", wave);
  SoundLimits limits;
  limits.maxWaveBytes = wave.size() - 1;
  EXPECT_NE(DecodeSoundFile("big.wav", {}, "", never, limits).problem.find("too large"), std::string::npos);
  EXPECT_FALSE(DecodeSoundFile("big.wav", {}, "", never).samples.empty());
  // A named pipe, directly or through a link, neither blocks nor plays.
  ASSERT_EQ(mkfifo((dir.Path() / "Track1.mid").c_str(), 0600), 0);
  std::filesystem::create_symlink("Track1.mid", dir.Path() / "Click.wav");
  for (const char* name : {"Track1.mid", "Click.wav", "/dev/zero"}) {
    EXPECT_FALSE(HoldsTune(name)) << name;
    DecodedSound none = DecodeSoundFile(name, {}, kSoundFont, never);
    EXPECT_TRUE(none.samples.empty()) << name;
    EXPECT_EQ(none.problem, "not a plain file") << name;
  }
  dir.Write("noise.wav", "RIFX, not a sound");
  EXPECT_FALSE(DecodeSoundFile("noise.wav", {}, "", never).problem.empty());
}

// At the program's end a tune still decoding is left to its worker, not waited for.
TEST(SoundChannels, StoreThatEndsMidTuneLeavesTheWorkerToFinishAlone) {
  struct Signals {
    std::promise<void> started, release, finished;
  };
  auto signals = std::make_shared<Signals>();
  auto decode = [signals](const std::string&, const std::atomic<bool>&) {
    signals->started.set_value();
    signals->release.get_future().wait();  // deaf to cancelling, like a slow library call
    signals->finished.set_value();
    return Samples(64, 1000);
  };
  {
    SoundStore store(
        decode, [](const std::string&) { return true; }, true);
    store.Find("slow.mid");
    signals->started.get_future().wait();
  }  // ends here without waiting for the decode
  signals->release.set_value();
  signals->finished.get_future().wait();
}

TEST(SoundChannels, WorkerGoesOnWithTheNextTuneWhenADecoderThrows) {
  auto decode = [](const std::string& path, const std::atomic<bool>&) -> Samples {
    if (path == "throws.mid") throw std::bad_alloc();
    return Samples(64, 1000);
  };
  SoundStore store(decode, [](const std::string&) { return true; });
  EXPECT_TRUE(store.Find("throws.mid").pending);
  EXPECT_TRUE(store.Find("next.mid").pending);
  store.WaitUntilIdle();
  store.Collect();
  EXPECT_FALSE(store.Find("throws.mid").sound);
  EXPECT_FALSE(store.Find("throws.mid").pending);
  EXPECT_TRUE(store.Find("next.mid").sound);
}

}  // namespace
}  // namespace vark
