#include "platform/sound/mixer_backend.h"

namespace vark {

MixerBackend::MixerBackend(std::unique_ptr<MixerOutput> output, SoundStore::Decoder decodeEffect,
                           SoundStore::IsTune isTune, TuneWork::Setup tunes, TuneWork::Driver driver)
    : output_(std::move(output)),
      effects_(std::move(decodeEffect)),
      isTune_(std::move(isTune)),
      tunes_(std::move(tunes), driver) {}

int MixerBackend::OpenChannel() {
  for (size_t i = 0; i < used_.size(); ++i) {
    if (!used_[i]) {
      used_[i] = true;
      return static_cast<int>(i);
    }
  }
  used_.push_back(true);
  output_->Allocate(static_cast<int>(used_.size()));
  return static_cast<int>(used_.size() - 1);
}

void MixerBackend::CloseChannel(int channel) {
  Stop(channel);
  if (channel >= 0 && channel < static_cast<int>(used_.size())) used_[channel] = false;
}

void MixerBackend::Play(int channel, const std::string& path) {
  // Whatever the channel played before ends here, even when the new file cannot play.
  Stop(channel);
  SoundUse use = UseOfName(path);
  if (isTune_(path)) {
    output_->StartStream(channel, tunes_.Start(path, use), use);
  } else if (SoundStore::Sound sound = effects_.Find(path, use)) {
    output_->Start(channel, std::move(sound), use);
  }
}

void MixerBackend::Stop(int channel) { output_->Halt(channel); }

bool MixerBackend::IsPlaying(int channel) const { return output_->Playing(channel); }

}  // namespace vark
