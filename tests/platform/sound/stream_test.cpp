// Tunes streamed as they play, driven by the game's thread between events (as where there
// are no threads) on the driver's clock: the mixer takes each slice of sound after the
// loop has run, as a sound device would. A tune plays whole with no gap at its measured
// level, and how long a file may sound follows the channel's use, not the file's content.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "platform/sound/mixer_backend.h"
#include "support/driver.h"
#include "test_tunes.h"

namespace vark {
namespace {

const char kSoundFont[] = "/usr/share/sounds/sf2/TimGM6mb.sf2";
constexpr PcmFormat kDevice{8000, 2};  // a low rate keeps ten minutes of sound quick

// A mixer that takes sound only when told, and keeps the loudest sample of each stream.
class SteppedMixer : public MixerOutput {
 public:
  void Allocate(int) override {}
  void Start(int channel, SoundStore::Sound sound, SoundUse) override { effects[channel] = std::move(sound); }
  void StartStream(int channel, std::shared_ptr<TuneStream> stream, SoundUse) override { streams[channel] = stream; }
  void Halt(int channel) override {
    effects.erase(channel);
    streams.erase(channel);
  }
  bool Playing(int channel) const override {
    auto stream = streams.find(channel);
    return effects.count(channel) || (stream != streams.end() && !stream->second->Over());
  }
  void Take(size_t frames) {
    for (auto& [channel, stream] : streams) {
      std::vector<int16_t> mix(frames * kDevice.channels, 0);
      stream->MixInto(mix.data(), frames, 1.0);
      for (int16_t s : mix) loudest[channel] = std::max(loudest[channel], std::abs(static_cast<int>(s)));
    }
  }
  std::map<int, SoundStore::Sound> effects;
  std::map<int, std::shared_ptr<TuneStream>> streams;
  std::map<int, int> loudest;
};

struct Streaming {
  Driver d;
  TempFolder dir;
  SteppedMixer* mixer = new SteppedMixer;
  std::vector<std::string> problems;
  MixerBackend backend{
      std::unique_ptr<MixerOutput>(mixer),
      [](const std::string& path, SoundUse use) {
        static const std::atomic<bool> never{false};
        return DecodeSoundFile(path, kDevice, "", never, {}, use).samples;
      },
      HoldsTune,
      {kDevice, kSoundFont, {}, [this](const std::string&, const std::string& p) { problems.push_back(p); }},
      TuneWork::Driver::kGameThread};

  // Plays the channel to its end on the driver's clock: a beat of the loop's work, then
  // the sound of two beats (the mixer running twice as fast as real time); the stream that
  // played.
  std::shared_ptr<TuneStream> PlayToTheEnd(int channel) {
    std::shared_ptr<TuneStream> stream = mixer->streams.at(channel);
    constexpr size_t kTwoBeats = 2 * kDevice.rate * TuneWork::kRefillMs / 1000;
    for (int tick = 0; backend.IsPlaying(channel) && tick < 4000; ++tick) {
      d.Advance(TuneWork::kRefillMs);
      mixer->Take(kTwoBeats);
    }
    return stream;
  }
};

TEST(TuneStreaming, GameThreadPlaysATuneWholeWithNoGapAtItsMeasuredLevel) {
  if (!std::filesystem::exists(kSoundFont)) GTEST_SKIP() << "no soundfont installed";
  Streaming s;
  s.dir.Write("organ.mid", OrganMidi());
  int channel = s.backend.OpenChannel();
  s.backend.Play(channel, "organ.mid");
  EXPECT_TRUE(s.backend.IsPlaying(channel));
  auto stream = s.PlayToTheEnd(channel);
  EXPECT_EQ(stream->GapFrames(), 0u);
  EXPECT_TRUE(stream->HasLevel());
  // Three seconds of organ, and its short release: the tune ends on its last sound.
  EXPECT_GE(stream->PlayedFrames(), 3u * kDevice.rate);
  EXPECT_LE(stream->PlayedFrames(), 4u * kDevice.rate);
  EXPECT_GT(s.mixer->loudest[channel], kTuneLoudness) << "a steady note levelled to the tunes' loudness";
  EXPECT_LE(s.mixer->loudest[channel], kTunePeak);
  EXPECT_TRUE(s.problems.empty());
  EXPECT_EQ(s.backend.Tunes().Synths()->Loads(), 2) << "one synthesiser to play, one to measure";
}

TEST(TuneStreaming, HowLongAFileMaySoundFollowsTheChannelsUseNotTheContent) {
  if (!std::filesystem::exists(kSoundFont)) GTEST_SKIP() << "no soundfont installed";
  Streaming s;
  s.dir.Write("Click.wav", EndlessMidi());
  s.dir.Write("endless.mid", EndlessMidi());
  int channel = s.backend.OpenChannel();
  s.backend.Play(channel, "Click.wav");
  EXPECT_EQ(s.PlayToTheEnd(channel)->PlayedFrames(), 30u * kDevice.rate) << "an effect's cap";
  s.backend.Play(channel, "endless.mid");
  auto tune = s.PlayToTheEnd(channel);
  EXPECT_EQ(tune->PlayedFrames(), 600u * kDevice.rate) << "a tune's cap";
  EXPECT_EQ(tune->GapFrames(), 0u);
  ASSERT_EQ(s.problems.size(), 2u);
  EXPECT_EQ(s.problems[0], "cut at its first 30 s");
  EXPECT_EQ(s.problems[1], "cut at its first 600 s");
}

TEST(TuneStreaming, FileThatIsNoTuneStopsItsChannel) {
  Streaming s;
  s.dir.Write("broken.mid", "MThd and nothing more");
  s.dir.Write("huge.mid", "MThd" + std::string(5 << 20, 'x'));
  for (const char* name : {"broken.mid", "huge.mid", "gone.mid"}) {
    int channel = s.backend.OpenChannel();
    s.backend.Play(channel, name);
    s.backend.Tunes().WaitUntilSettled();
    for (int tick = 0; s.backend.IsPlaying(channel) && tick < 100; ++tick) {
      s.d.Advance(TuneWork::kSliceEveryMs);
      s.mixer->Take(TuneWork::kSliceFrames);
    }
    EXPECT_FALSE(s.backend.IsPlaying(channel)) << name;
  }
  ASSERT_FALSE(s.problems.empty());
  EXPECT_NE(s.problems.back().find("too large"), std::string::npos) << s.problems.back();
}

}  // namespace
}  // namespace vark
