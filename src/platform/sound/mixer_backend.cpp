#include "platform/sound/mixer_backend.h"

namespace vark {

MixerBackend::MixerBackend(std::unique_ptr<MixerOutput> output, SoundStore::Decoder decode, SoundStore::IsSlow slow,
                           bool abandonBusyWorker)
    : output_(std::move(output)), store_(std::move(decode), std::move(slow), abandonBusyWorker) {}

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
  SoundStore::Found found = store_.Find(path);
  if (found.sound) output_->Start(channel, found.sound);
  else if (found.pending) waiting_[channel] = path;
}

void MixerBackend::Stop(int channel) {
  waiting_.erase(channel);
  output_->Halt(channel);
}

bool MixerBackend::IsPlaying(int channel) const { return waiting_.count(channel) || output_->Playing(channel); }

void MixerBackend::Pump() {
  store_.Collect();
  for (auto it = waiting_.begin(); it != waiting_.end();) {
    SoundStore::Found found = store_.Find(it->second);
    if (found.pending) {
      ++it;
      continue;
    }
    if (found.sound) output_->Start(it->first, found.sound);
    it = waiting_.erase(it);
  }
  store_.ReleaseUnclaimed();
}

void MixerBackend::Prepare(const std::string& path) { store_.Keep(path); }

}  // namespace vark
