// Channels over a mixer and a sound store: a channel asked to play a tune that is still
// decoding counts as playing and starts as soon as the tune is ready.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/sound/media.h"
#include "platform/sound/sound_store.h"

namespace vark {

// The few mixer calls channels need, so that tests can stand in for SDL_mixer.
class MixerOutput {
 public:
  virtual ~MixerOutput() = default;
  virtual void Allocate(int channels) = 0;
  // Plays the sound from its start on the channel, holding it until halted or replaced.
  virtual void Start(int channel, SoundStore::Sound sound) = 0;
  virtual void Halt(int channel) = 0;
  virtual bool Playing(int channel) const = 0;
  // The device is gone: the output opens it again as soon as it can.
  virtual void DeviceLost() {}
};

class MixerBackend : public AudioBackend {
 public:
  MixerBackend(std::unique_ptr<MixerOutput> output, SoundStore::Decoder decode, SoundStore::IsSlow slow,
               bool abandonBusyWorker = false);
  int OpenChannel() override;
  void CloseChannel(int channel) override;
  void Play(int channel, const std::string& path) override;
  void Stop(int channel) override;
  bool IsPlaying(int channel) const override;
  void Pump() override;
  void Prepare(const std::string& path) override;
  void DeviceLost() override { output_->DeviceLost(); }
  SoundStore& Store() { return store_; }

 private:
  std::unique_ptr<MixerOutput> output_;
  SoundStore store_;
  std::vector<bool> used_;
  std::map<int, std::string> waiting_;
};

}  // namespace vark
