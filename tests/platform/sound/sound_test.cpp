// Decoded sounds: levelling with headroom, trimming the silence after a tune, the game's
// own sound files decoded the way the game decodes them, and files a player may swap in.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include <lame/lame.h>
#include <sys/stat.h>

#include "platform/sound/limiter.h"
#include "platform/sound/sound_decode.h"
#include "platform/sound/tune_level.h"
#include "support/driver.h"
#include "test_tunes.h"

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

// A tune streamed plays at the level its measuring pass found, at a quarter of the rate:
// it must be the level the whole tune decoded at the device's rate has, and end where it ends.
TEST(GameSounds, MeasuringPassFindsTheLevelAndTheEndOfTheWholeTune) {
  if (!std::filesystem::exists(kSoundFont)) GTEST_SKIP() << "no soundfont installed";
  auto synths = std::make_shared<SynthPool>(kSoundFont);
  for (const char* name : {"Track2.mid", "Intro.mp3"}) {
    std::string problem;
    auto bytes = ReadSoundBytes((kSfx / name).string(), {}, problem);
    ASSERT_TRUE(bytes) << name << ": " << problem;
    LevelMeasure measure(*bytes, synths, {});
    while (measure.Step(1 << 20)) {
    }
    TuneLevel level = measure.Level();
    PcmFormat device{22050, 2};
    Samples whole = DecodeGameFile(name, device);
    ASSERT_FALSE(whole.empty()) << name;
    double seconds = whole.size() / 2.0 / device.rate;
    EXPECT_NEAR(level.audibleSeconds, seconds, 0.1) << name;
    // The whole tune is levelled; the measured gain applied to the raw tune gives the same.
    PcmBlocks raw(2);
    auto decoder = NewTuneDecoder(*bytes, device, synths, 600, {});
    Samples block(8192);
    for (size_t got; (got = decoder->Read(block.data(), 4096)) > 0;) raw.Append(block.data(), got * 2);
    Samples levelled = raw.Finish(level.gain, raw.SampleCount() / 2);
    levelled.resize(whole.size());
    EXPECT_NEAR(20 * std::log10(Loudness(levelled) / Loudness(whole)), 0, 0.5) << name;
  }
  EXPECT_EQ(synths->Loads(), 2) << "one synthesiser for each rate, each loading the font once";
}

// mpg123 hands back the last samples of a slice of bytes together with its request for the
// next slice: those samples must not be lost at each slice's end.
TEST(GameSounds, Mp3DecodesToItsWholeLength) {
  constexpr int kRate = 22050, kSeconds = 16;
  std::vector<short> tone(2 * kRate * kSeconds);
  for (size_t i = 0; i < tone.size(); ++i) tone[i] = static_cast<short>(8000 * std::sin(i / 2 * 0.05));
  lame_global_flags* lame = lame_init();
  lame_set_in_samplerate(lame, kRate);
  lame_set_out_samplerate(lame, kRate);
  lame_set_num_channels(lame, 2);
  lame_set_brate(lame, 128);
  lame_set_bWriteVbrTag(lame, 0);
  ASSERT_GE(lame_init_params(lame), 0);
  std::vector<unsigned char> out(tone.size() * 2 + 7200);
  int bytes = lame_encode_buffer_interleaved(lame, tone.data(), kRate * kSeconds, out.data(), int(out.size()));
  bytes += lame_encode_flush(lame, out.data() + bytes, int(out.size()) - bytes);
  lame_close(lame);
  std::string mp3(reinterpret_cast<char*>(out.data()), static_cast<size_t>(bytes));
  ASSERT_GT(mp3.size(), 3u * 65536) << "long enough to be fed in several slices";
  static const std::atomic<bool> never{false};
  DecodedSound decoded = DecodeSoundBytes(mp3, PcmFormat{kRate, 2}, "", never);
  // The encoder adds less than two of its frames (1152 samples each) of delay and padding.
  EXPECT_NEAR(decoded.samples.size() / 2.0 / kRate, kSeconds, 2 * 1152.0 / kRate);
}

TEST(GameSounds, MissingOrForeignFilesDecodeToNothing) {
  EXPECT_TRUE(DecodeGameFile("no such file.wav").empty());
  EXPECT_FALSE(HoldsTune((kSfx / "Click.wav").string()));
  EXPECT_TRUE(HoldsTune((kSfx / "Track2.mid").string()));
  EXPECT_TRUE(HoldsTune((kSfx / "Intro.mp3").string()));
  EXPECT_TRUE(DecodeSoundFile((kSfx / "Track2.mid").string(), {}, "", std::atomic<bool>(false)).samples.empty());
}

// ---- files a player may swap in -------------------------------------------------------------

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
  // A tune that costs more processor time than it may per second of sound stops there,
  // keeping what it has; on a busy machine it would cost the same time, so it would play
  // as far.
  limits.maxCpuPerSoundSecond = 0;
  DecodedSound costly = DecodeBytes(EndlessMidi(), limits);
  EXPECT_LE(costly.samples.size(), 4096u * 2);
  EXPECT_NE(costly.problem.find("processor time"), std::string::npos) << costly.problem;
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

}  // namespace
}  // namespace vark
