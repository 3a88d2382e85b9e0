// Decoded sounds: levelling with headroom, trimming the silence after a tune, the store
// that decodes tunes on a worker, channels asked to play a tune still decoding, and the
// game's own sound files decoded the way the game decodes them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <set>

#include "platform/limiter.h"
#include "platform/media.h"
#include "platform/sound_decode.h"

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
  return DecodeSoundFile((kSfx / name).string(), format, kSoundFont, never);
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
  EXPECT_TRUE(DecodeSoundFile((kSfx / "Track2.mid").string(), {}, "", std::atomic<bool>(false)).empty());
}

}  // namespace
}  // namespace vark
