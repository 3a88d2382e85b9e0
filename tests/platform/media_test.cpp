// Media channels: the five behaviours the screens rely on, against the recording sound
// system, and one run on the real mixer writing to a file.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_mixer.h>

#include <chrono>
#include <cmath>
#include <fstream>
#include <thread>

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

TEST(MediaChannel, MissingFileIsSilentAndHarmless) {
  Driver d;
  auto& p = d.Get<Player>();
  p.A.Play();  // no file given
  EXPECT_FALSE(p.A.IsPlaying());
}

// ---- the real mixer ----------------------------------------------------------------------

std::string LittleEndian(uint32_t v, int bytes) {
  std::string s;
  for (int i = 0; i < bytes; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
  return s;
}

std::string SineWav() {
  std::string samples;
  for (int i = 0; i < 22050; ++i)
    samples += LittleEndian(static_cast<uint16_t>(static_cast<int16_t>(12000 * std::sin(i * 0.06))), 2);
  return "RIFF" + LittleEndian(36 + samples.size(), 4) + "WAVEfmt " + LittleEndian(16, 4) + LittleEndian(1, 2) +
         LittleEndian(1, 2) + LittleEndian(22050, 4) + LittleEndian(44100, 4) + LittleEndian(2, 2) +
         LittleEndian(16, 2) + "data" + LittleEndian(samples.size(), 4) + samples;
}

std::string OneNoteMidi() {
  std::string track = std::string("\x00\xC0\x00", 3) + std::string("\x00\x90\x3C\x70", 4) +
                      std::string("\x83\x60\x80\x3C\x00", 5) + std::string("\x00\xFF\x2F\x00", 4);
  return std::string("MThd\x00\x00\x00\x06\x00\x00\x00\x01\x01\xE0", 14) + "MTrk" +
         std::string{0, 0, 0, static_cast<char>(track.size())} + track;
}

// Largest sample magnitude in the disk driver's output after `skip` bytes.
int Loudest(const std::filesystem::path& file, size_t skip) {
  std::ifstream in(file, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), {});
  int loudest = 0;
  for (size_t i = skip; i + 1 < bytes.size(); i += 2) {
    int v = static_cast<int16_t>(static_cast<uint8_t>(bytes[i]) | (static_cast<uint8_t>(bytes[i + 1]) << 8));
    loudest = std::max(loudest, std::abs(v));
  }
  return loudest;
}

int PlayAndMeasure(MediaPlayer& m, const std::filesystem::path& out) {
  size_t before = std::filesystem::exists(out) ? std::filesystem::file_size(out) : 0;
  m.Play();
  // The mixer decodes in the background and the disk driver writes in real time.
  for (int i = 0; i < 300 && Loudest(out, before) < 500; ++i) {
    Audio().Pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return Loudest(out, before);
}

TEST(MediaChannel, RealMixerPlaysWavAndMidiAudibly) {
  if (!std::filesystem::exists("/usr/share/sounds/sf2")) GTEST_SKIP() << "no soundfont installed";
  TempFolder dir;
  dir.Write("Sfx/tone.wav", SineWav());
  dir.Write("Sfx/note.mid", OneNoteMidi());
  auto out = dir.Path() / "mixed.raw";
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
  {
    Driver d;
    OpenRealAudio();
    {
      MediaPlayer wav("wav");
      wav.SetFileName("sfx\\TONE.wav");
      EXPECT_GT(PlayAndMeasure(wav, out), 500);
      MediaPlayer midi("midi");
      midi.SetFileName("Sfx\\note.mid");
      EXPECT_GT(PlayAndMeasure(midi, out), 500);
    }
    SetAudioBackend(nullptr);
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
  setenv("SDL_AUDIODRIVER", "dummy", 1);
}

}  // namespace
}  // namespace vark
