// Channels over a mixer: an effect is decoded once and kept (sound_store.h), a tune is
// streamed as it plays (tune_work.h). Which one a file is comes from its content; how long
// it may sound and how loud it plays come from its use, which the name the screen gave the
// channel says.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/sound/media.h"
#include "platform/sound/sound_store.h"
#include "platform/sound/tune_work.h"

namespace vark {

// The few mixer calls channels need, so that tests can stand in for SDL_mixer.
class MixerOutput {
 public:
  virtual ~MixerOutput() = default;
  virtual void Allocate(int channels) = 0;
  // Plays the sound from its start on the channel, holding it until halted or replaced.
  virtual void Start(int channel, SoundStore::Sound sound, SoundUse use) = 0;
  // Plays the stream on the channel as it is decoded, until halted or over.
  virtual void StartStream(int channel, std::shared_ptr<TuneStream> stream, SoundUse use) = 0;
  virtual void Halt(int channel) = 0;
  virtual bool Playing(int channel) const = 0;
  // The device is gone: the output opens it again as soon as it can.
  virtual void DeviceLost() {}
  // Volumes of tunes and of effects, 0 to 100.
  virtual void SetVolumes(int, int) {}
  // Between events: lets go of what ended, and rests when nothing plays.
  virtual void Settle() {}
};

class MixerBackend : public AudioBackend {
 public:
  MixerBackend(std::unique_ptr<MixerOutput> output, SoundStore::Decoder decodeEffect, SoundStore::IsTune isTune,
               TuneWork::Setup tunes, TuneWork::Driver driver);
  int OpenChannel() override;
  void CloseChannel(int channel) override;
  void Play(int channel, const std::string& path) override;
  void Stop(int channel) override;
  bool IsPlaying(int channel) const override;
  void Pump() override { output_->Settle(); }
  void Prepare(const std::string& path) override { tunes_.Measure(path); }
  void DeviceLost() override { output_->DeviceLost(); }
  void SetVolumes(int music, int effects) override { output_->SetVolumes(music, effects); }
  TuneWork& Tunes() { return tunes_; }

 private:
  std::unique_ptr<MixerOutput> output_;
  SoundStore effects_;
  SoundStore::IsTune isTune_;
  TuneWork tunes_;
  std::vector<bool> used_;
};

}  // namespace vark
