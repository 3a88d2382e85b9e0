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

#include "platform/sound/limiter.h"
#include "platform/sound/mixer_backend.h"
#include "platform/sound/sdl_mixer_output.h"
#include "platform/sound/sound_decode.h"
#include "support/driver.h"

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

// A mono 22050 Hz WAV of a tone whose level may change over time.
std::string ToneWav(int frames, const std::function<double(int)>& levelAt) {
  std::string samples;
  for (int i = 0; i < frames; ++i)
    samples += LittleEndian(static_cast<uint16_t>(static_cast<int16_t>(levelAt(i) * std::sin(i * 0.06))), 2);
  return "RIFF" + LittleEndian(36 + samples.size(), 4) + "WAVEfmt " + LittleEndian(16, 4) + LittleEndian(1, 2) +
         LittleEndian(1, 2) + LittleEndian(22050, 4) + LittleEndian(44100, 4) + LittleEndian(2, 2) +
         LittleEndian(16, 2) + "data" + LittleEndian(samples.size(), 4) + samples;
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
// one does. The loudest sample it has mixed since the last Reset, and the loudest of the
// first block that was not silence, are watched on the finished mix (an effect on all
// channels together), so a test waits for the sound itself instead of for a while.
class RealMixer {
 public:
  RealMixer() {
    OpenRealAudio();
    ListenToTheMix();
  }
  ~RealMixer() {
    Mix_UnregisterEffect(MIX_CHANNEL_POST, Listen);
    SetAudioBackend(nullptr);
    Mix_CloseAudio();
    if (SDL_WasInit(SDL_INIT_AUDIO)) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
  // Closing the mixer lets go of every effect on the mix: a mixer opened again is
  // listened to again.
  void ListenToTheMix() { Mix_RegisterEffect(MIX_CHANNEL_POST, Listen, nullptr, this); }
  // Lets the tunes decoding in the background finish and start on their channels.
  void FinishDecoding() {
    auto& backend = dynamic_cast<MixerBackend&>(Audio());
    backend.Store().WaitUntilIdle();
    backend.Pump();
  }
  void Reset() {
    std::lock_guard lock(mutex_);
    loudest_ = 0;
    first_ = 0;
  }
  // True once a sample at least this loud was mixed (within a generous bound).
  bool Hears(int level) {
    std::unique_lock lock(mutex_);
    return heard_.wait_for(lock, std::chrono::seconds(20), [&] { return loudest_ >= level; });
  }
  // The loudest sample of the first block with any sound in it (0 when none came).
  int FirstSound() {
    std::unique_lock lock(mutex_);
    heard_.wait_for(lock, std::chrono::seconds(20), [&] { return first_ > 0; });
    return first_;
  }

 private:
  static constexpr int kNoise = 100;

  static void Listen(int, void* mix, int bytes, void* self) {
    auto* mixer = static_cast<RealMixer*>(self);
    auto* stream = static_cast<const Uint8*>(mix);
    int loudest = 0;
    for (int i = 0; i + 1 < bytes; i += 2) {
      int16_t sample;
      std::memcpy(&sample, stream + i, sizeof sample);
      loudest = std::max(loudest, std::abs(static_cast<int>(sample)));
    }
    std::lock_guard lock(mixer->mutex_);
    mixer->loudest_ = std::max(mixer->loudest_, loudest);
    if (mixer->first_ == 0 && loudest > kNoise) mixer->first_ = loudest;
    mixer->heard_.notify_all();
  }

  std::mutex mutex_;
  std::condition_variable heard_;
  int loudest_ = 0;
  int first_ = 0;
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
  mixer.ListenToTheMix();
  EXPECT_GE(mixer.FirstSound(), loud);
  EXPECT_TRUE(music.IsPlaying());
  EXPECT_TRUE(second.IsPlaying());
  EXPECT_EQ(err,
            "vark: the sound device is lost; trying to open it again every 2 s\n"
            "vark: the sound device is back\n");
}

}  // namespace
}  // namespace vark
