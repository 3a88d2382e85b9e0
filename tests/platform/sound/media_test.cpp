// Media channels: the five behaviours the screens rely on, against the recording sound
// system, and the real mixer on SDL's silent device.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_mixer.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/sound/limiter.h"
#include "platform/sound/mixer_backend.h"
#include "platform/sound/sdl_mixer_output.h"
#include "platform/sound/sound_decode.h"
#include "startup/options.h"
#include "support/driver.h"
#include "test_tunes.h"

namespace vark {
namespace {

class Player : public Form {
 public:
  Player() : Form("Player") {}
  MediaPlayer& A = AddMedia("A");
  MediaPlayer& B = AddMedia("B");
};

TEST(MediaChannel, FileAloneDoesNotPlayAndPlayOnAPlayingChannelKeepsIt) {
  Driver d;
  auto& p = d.Get<Player>();
  p.A.SetFileName("Sfx\\Click.wav");
  EXPECT_EQ(d.Sound().Plays("Click.wav"), 0);
  p.A.Play();
  p.A.Play();
  EXPECT_EQ(d.Sound().Plays("Click.wav"), 1);
  EXPECT_TRUE(p.A.IsPlaying());
}

TEST(MediaChannel, FinishedChannelStartsAgainAndStopThenPlayRestarts) {
  Driver d;
  auto& p = d.Get<Player>();
  p.A.SetFileName("Sfx\\Track1.mid");
  p.A.Play();
  d.Sound().Finish(p.A.Channel());
  p.A.Play();
  EXPECT_EQ(d.Sound().Plays("Track1.mid"), 2);
  p.A.Stop();
  p.A.Play();
  EXPECT_EQ(d.Sound().Plays("Track1.mid"), 3);
}

TEST(MediaChannel, ChannelsAreIndependentAndUnloadStopsOnlyThatForm) {
  Driver d;
  auto& p = d.Get<Player>();
  class Other : public Form {
   public:
    Other() : Form("Other") {}
    MediaPlayer& M = AddMedia("M");
  };
  auto& o = d.Get<Other>();
  o.M.SetFileName("Sfx\\Track2.mid");
  o.M.Play();
  p.A.SetFileName("Sfx\\Open.wav");
  p.B.SetFileName("Sfx\\Open.wav");
  p.A.Play();
  p.B.Play();
  EXPECT_EQ(d.Sound().Plays("Open.wav"), 2);
  int a = p.A.Channel();
  Forms::Unload<Player>();
  Forms::CollectGarbage();
  EXPECT_FALSE(d.Sound().IsPlaying(a));
  EXPECT_FALSE(d.Sound().IsOpen(a));
  EXPECT_TRUE(o.M.IsPlaying());
}

// ---- the real mixer ----------------------------------------------------------------------

std::string LittleEndian(uint32_t v, int bytes) {
  std::string s;
  for (int i = 0; i < bytes; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
  return s;
}

// A mono 22050 Hz WAV of these samples.
std::string Wav(const std::function<int16_t(int)>& sampleAt, int frames) {
  std::string samples;
  for (int i = 0; i < frames; ++i) samples += LittleEndian(static_cast<uint16_t>(sampleAt(i)), 2);
  return "RIFF" + LittleEndian(36 + samples.size(), 4) + "WAVEfmt " + LittleEndian(16, 4) + LittleEndian(1, 2) +
         LittleEndian(1, 2) + LittleEndian(22050, 4) + LittleEndian(44100, 4) + LittleEndian(2, 2) +
         LittleEndian(16, 2) + "data" + LittleEndian(samples.size(), 4) + samples;
}

// A tone whose level may change over time.
std::string ToneWav(int frames, const std::function<double(int)>& levelAt) {
  return Wav([&](int i) { return static_cast<int16_t>(levelAt(i) * std::sin(i * 0.06)); }, frames);
}

std::string SineWav() {
  return ToneWav(22050, [](int) { return 12000; });
}

std::string OneNoteMidi() {
  std::string track = std::string("\x00\xC0\x00", 3) + std::string("\x00\x90\x3C\x70", 4) +
                      std::string("\x83\x60\x80\x3C\x00", 5) + std::string("\x00\xFF\x2F\x00", 4);
  return std::string("MThd\x00\x00\x00\x06\x00\x00\x00\x01\x01\xE0", 14) + "MTrk" +
         std::string{0, 0, 0, static_cast<char>(track.size())} + track;
}

// The game's own sound system on SDL's silent device, whose mixing thread runs as a real
// one does. Every finished buffer is heard (through the output's watch, which stays across
// a device opened again): the loudest sample since the last Reset, the loudest of the
// first buffer that was not silence, and the samples themselves, so a test waits for the
// sound itself instead of for a while.
class RealMixer {
 public:
  explicit RealMixer(TuneWork::Driver driver = TuneWork::Driver::kWorkerThread) {
    OpenRealAudio(driver, [this](const int16_t* samples, size_t count) { Listen(samples, count); });
  }
  ~RealMixer() {
    SetAudioBackend(nullptr);
    Mix_CloseAudio();
    if (SDL_WasInit(SDL_INIT_AUDIO)) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
  // Lets every tune open and every measure finish.
  void FinishDecoding() {
    dynamic_cast<MixerBackend&>(Audio()).Tunes().WaitUntilSettled();
    Audio().Pump();
  }
  void Reset() {
    std::lock_guard lock(mutex_);
    loudest_ = 0;
    first_ = 0;
    heard_.clear();
  }
  // True once a sample at least this loud was mixed (within a generous bound).
  bool Hears(int level) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(20), [&] { return loudest_ >= level; });
  }
  // The loudest sample of the first block with any sound in it (0 when none came).
  int FirstSound() {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, std::chrono::seconds(20), [&] { return first_ > 0; });
    return first_;
  }
  int Loudest() {
    std::lock_guard lock(mutex_);
    return loudest_;
  }
  // Waits for the next buffer; false when none comes within a second (the output rests).
  bool NextBuffer() {
    std::unique_lock lock(mutex_);
    uint64_t seen = buffers_;
    return changed_.wait_for(lock, std::chrono::seconds(1), [&] { return buffers_ > seen; });
  }
  // Every sample heard since the last Reset.
  std::vector<int16_t> Heard() {
    std::lock_guard lock(mutex_);
    return heard_;
  }

 private:
  static constexpr int kNoise = 100;

  void Listen(const int16_t* samples, size_t count) {
    int loudest = 0;
    for (size_t i = 0; i < count; ++i) loudest = std::max(loudest, std::abs(static_cast<int>(samples[i])));
    std::lock_guard lock(mutex_);
    loudest_ = std::max(loudest_, loudest);
    if (first_ == 0 && loudest > kNoise) first_ = loudest;
    if (heard_.size() < kKeptSamples) heard_.insert(heard_.end(), samples, samples + count);
    ++buffers_;
    changed_.notify_all();
  }

  static constexpr size_t kKeptSamples = 44100 * 2 * 30;
  std::mutex mutex_;
  std::condition_variable changed_;
  int loudest_ = 0;
  int first_ = 0;
  uint64_t buffers_ = 0;
  std::vector<int16_t> heard_;
};

TEST(MediaChannel, RealMixerPlaysWavAndMidiAudibly) {
  if (!std::filesystem::exists("/usr/share/sounds/sf2")) GTEST_SKIP() << "no soundfont installed";
  TempFolder dir;
  dir.Write("Sfx/tone.wav", SineWav());
  dir.Write("Sfx/note.mid", OneNoteMidi());
  Driver d;
  RealMixer mixer;
  MediaPlayer channel("channel");
  channel.SetFileName("sfx\\TONE.wav");
  channel.Play();
  EXPECT_TRUE(mixer.Hears(500));
  channel.Stop();
  mixer.Reset();
  channel.SetFileName("Sfx\\note.mid");
  channel.Play();
  mixer.FinishDecoding();
  EXPECT_TRUE(mixer.Hears(500));
}

// Where there are no threads, the game's thread streams the tune between events, on a
// timer: the real mixer plays it all the same.
TEST(MediaChannel, RealMixerPlaysATuneStreamedByTheGamesThread) {
  if (!std::filesystem::exists("/usr/share/sounds/sf2")) GTEST_SKIP() << "no soundfont installed";
  TempFolder dir;
  dir.Write("Sfx/organ.mid", OrganMidi());
  Driver d;
  RealMixer mixer(TuneWork::Driver::kGameThread);
  MediaPlayer music("music");
  music.SetFileName("Sfx\\organ.mid");
  music.Play();
  for (int slice = 0; slice < 500 && mixer.Loudest() < kTuneLoudness && mixer.NextBuffer(); ++slice)
    d.Advance(TuneWork::kSliceEveryMs);
  EXPECT_GE(mixer.Loudest(), kTuneLoudness);
  EXPECT_TRUE(music.IsPlaying());
}

// A channel with no file, or a file that is not there (an effect or a tune), stays silent,
// says which file on stderr, and plays the next file it is given.
TEST(MediaChannel, MissingFileIsSilentAndHarmless) {
  TempFolder dir;
  dir.Write("Sfx/tone.wav", SineWav());
  Driver d;
  RealMixer mixer;
  MediaPlayer channel("channel");
  channel.Play();
  EXPECT_FALSE(channel.IsPlaying());
  testing::internal::CaptureStderr();
  for (const char* name : {"Sfx\\Gone.wav", "Sfx\\Gone.mid"}) {
    channel.SetFileName(name);
    channel.Play();
    mixer.FinishDecoding();
    EXPECT_FALSE(channel.IsPlaying()) << name;
  }
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("Gone.wav"), std::string::npos) << err;
  EXPECT_NE(err.find("Gone.mid"), std::string::npos) << err;
  channel.SetFileName("Sfx\\tone.wav");
  channel.Play();
  EXPECT_TRUE(channel.IsPlaying());
}

// The sound server goes away for a few seconds and comes back: the mixer is opened again
// by its timer, and the long sound that was playing goes on from where it stood, not from
// its quiet start; a sound asked for meanwhile starts too. The player reads one line when
// the device goes and one when it is back. (SDL's sound starts afresh for each try; with a
// sound driver that is not there it cannot, as with a sound server that is down.)
TEST(MediaChannel, RealMixerOpensALostDeviceAgainAndTheSoundGoesOnWhereItStood) {
  TempFolder dir;
  dir.Write("Sfx/long.wav", ToneWav(22050 * 21, [](int i) { return i < 11025 ? 600 : 12000; }));
  Driver d;
  RealMixer mixer;
  MediaPlayer music("music"), second("second");
  music.SetFileName("Sfx\\long.wav");
  music.Play();
  // Effects peak at kEffectPeak, mixed at kMixVolume: the quiet start is a twentieth of it.
  const int loud = kEffectPeak * kMixVolume / 128 * 9 / 10;
  ASSERT_TRUE(mixer.Hears(loud));

  testing::internal::CaptureStderr();
  const std::string driver = SDL_GetCurrentAudioDriver();
  setenv("SDL_AUDIODRIVER", "vark-gone", 1);
  d.SoundDeviceRemoved();
  EXPECT_TRUE(music.IsPlaying());
  second.SetFileName("Sfx\\long.wav");
  second.Play();
  EXPECT_TRUE(second.IsPlaying());
  d.Advance(20000);  // ten more tries, in vain
  EXPECT_EQ(Mix_QuerySpec(nullptr, nullptr, nullptr), 0);
  setenv("SDL_AUDIODRIVER", driver.c_str(), 1);
  d.Advance(1999);
  EXPECT_EQ(Mix_QuerySpec(nullptr, nullptr, nullptr), 0);
  d.Advance(1);
  std::string err = testing::internal::GetCapturedStderr();
  ASSERT_NE(Mix_QuerySpec(nullptr, nullptr, nullptr), 0);

  mixer.Reset();
  EXPECT_GE(mixer.FirstSound(), loud);
  EXPECT_TRUE(music.IsPlaying());
  EXPECT_TRUE(second.IsPlaying());
  EXPECT_EQ(err,
            "vark: the sound device is lost; trying to open it again every 2 s\n"
            "vark: the sound device is back\n");
}

// ---- resting, volumes and streaming on the real mixer ------------------------------------

// A mono effect of `frames` frames none of which is silent.
std::string BlipWav(int frames) {
  return Wav([](int i) { return static_cast<int16_t>(i % 40 < 20 ? 20000 : -20000); }, frames);
}

// How SDL sees the mixer's device: playing, paused, or stopped when there is none.
SDL_AudioStatus OutputStatus() {
  for (SDL_AudioDeviceID id = 2; id < 64; ++id)
    if (SDL_AudioStatus status = SDL_GetAudioDeviceStatus(id); status != SDL_AUDIO_STOPPED) return status;
  return SDL_AUDIO_STOPPED;
}

size_t SoundingFrames(const std::vector<int16_t>& samples) {
  size_t frames = 0;
  for (size_t i = 0; i + 1 < samples.size(); i += 2) frames += samples[i] != 0 || samples[i + 1] != 0;
  return frames;
}

// Pumps the sound system as the loop does after the mixer's word, until the output rests.
bool RestsAfterTheLastSound(RealMixer& mixer) {
  for (int buffer = 0; buffer < 200; ++buffer) {
    Audio().Pump();
    if (OutputStatus() != SDL_AUDIO_PLAYING) return true;
    if (!mixer.NextBuffer()) return OutputStatus() != SDL_AUDIO_PLAYING;
  }
  return false;
}

TEST(SoundRest, OutputRestsWhenTheLastSoundEndsAndTheNextEffectIsHeardFromItsFirstSample) {
  TempFolder dir;
  dir.Write("Sfx/blip.wav", BlipWav(2205));
  Driver d;
  RealMixer mixer;
  MediaPlayer effect("effect");
  effect.SetFileName("Sfx\\blip.wav");
  effect.Play();
  ASSERT_TRUE(RestsAfterTheLastSound(mixer));
  EXPECT_EQ(OutputStatus(), SDL_AUDIO_PAUSED);
  EXPECT_EQ(SoundingFrames(mixer.Heard()), 2205u);
  // Paused for a while, the device is closed: no thread of it is left to wake.
  d.Advance(3000);
  EXPECT_EQ(OutputStatus(), SDL_AUDIO_STOPPED);
  EXPECT_EQ(Mix_QuerySpec(nullptr, nullptr, nullptr), 0);
  for (int round = 0; round < 2; ++round) {  // from closed, then from paused
    mixer.Reset();
    effect.Play();
    EXPECT_EQ(OutputStatus(), SDL_AUDIO_PLAYING) << round;
    ASSERT_TRUE(RestsAfterTheLastSound(mixer)) << round;
    EXPECT_EQ(SoundingFrames(mixer.Heard()), 2205u) << "every sample of the effect, round " << round;
  }
}

TEST(SoundVolume, MusicAndEffectsPlayAtTheirVolumesAndNoneAtZero) {
  if (!std::filesystem::exists("/usr/share/sounds/sf2")) GTEST_SKIP() << "no soundfont installed";
  TempFolder dir;
  dir.Write("Sfx/blip.wav", BlipWav(2205));
  dir.Write("Sfx/organ.mid", OrganMidi());
  Driver d;
  RealMixer mixer;
  MediaPlayer effect("effect"), music("music");
  effect.SetFileName("Sfx\\blip.wav");
  music.SetFileName("Sfx\\organ.mid");
  auto loudestOf = [&](MediaPlayer& channel, int musicVolume, int effectVolume) {
    Audio().SetVolumes(musicVolume, effectVolume);
    mixer.Reset();
    channel.Play();
    RestsAfterTheLastSound(mixer);
    return mixer.Loudest();
  };
  EXPECT_EQ(loudestOf(effect, 100, 0), 0);
  EXPECT_EQ(loudestOf(music, 0, 100), 0);
  int fullEffect = loudestOf(effect, 0, 100);
  EXPECT_NEAR(fullEffect, kEffectPeak, kEffectPeak / 50);
  EXPECT_NEAR(loudestOf(effect, 0, 50), fullEffect / 2, fullEffect / 50);
  int fullMusic = loudestOf(music, 100, 0);
  EXPECT_GT(fullMusic, kTunePeak / 4);
  EXPECT_NEAR(loudestOf(music, 50, 0), fullMusic / 2, fullMusic / 20);
}

// The volumes as the settings file holds them: whole numbers 0 to 100, anything else (an
// older file without them, a hand-edited value) plays at full volume, as before.
TEST(SoundVolume, OnlyWholeNumbersUpToAHundredAreVolumes) {
  EXPECT_EQ(VolumeSetting("0"), 0);
  EXPECT_EQ(VolumeSetting("37"), 37);
  EXPECT_EQ(VolumeSetting("100"), 100);
  for (const char* other : {"", "101", "-5", "50%", " 50", "1e2", "0x10", "99999999999"})
    EXPECT_EQ(VolumeSetting(other), 100) << other;
}

// Two busy loops take both cores while a tune is asked for: the worker still keeps its
// stream ahead of the mixer, and the tune plays from its start to its end with no silence.
TEST(TuneStreaming, TuneAskedBesideBusyLoopsPlaysItsWholeLengthWithNoGap) {
  if (!std::filesystem::exists("/usr/share/sounds/sf2")) GTEST_SKIP() << "no soundfont installed";
  TempFolder dir;
  dir.Write("Sfx/organ.mid", OrganMidi());
  Driver d;
  RealMixer mixer;
  std::atomic<bool> busy{true};
  std::vector<std::thread> loops;
  for (int i = 0; i < 2; ++i)
    loops.emplace_back([&] {
      while (busy) {
      }
    });
  MediaPlayer music("music");
  music.SetFileName("Sfx\\organ.mid");
  music.Play();
  for (int buffer = 0; music.IsPlaying() && buffer < 400 && mixer.NextBuffer(); ++buffer) Audio().Pump();
  busy = false;
  for (std::thread& loop : loops) loop.join();
  EXPECT_FALSE(music.IsPlaying());
  std::vector<int16_t> heard = mixer.Heard();
  size_t first = heard.size(), last = 0, longestHush = 0;
  for (size_t frame = 0, hush = 0; frame < heard.size() / 2; ++frame) {
    bool sounds = heard[2 * frame] != 0 || heard[2 * frame + 1] != 0;
    if (!sounds) {
      ++hush;
      continue;
    }
    if (first < frame) longestHush = std::max(longestHush, hush);
    first = std::min(first, frame);
    last = frame;
    hush = 0;
  }
  int rate = 0;
  Mix_QuerySpec(&rate, nullptr, nullptr);
  EXPECT_GE(double(last - first) / rate, 3.0) << "the whole note";
  EXPECT_LT(longestHush, 20u) << "no gap: the organ's wave crosses zero for a sample at most";
}

}  // namespace
}  // namespace vark
