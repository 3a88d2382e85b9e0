#include "platform/sound/media.h"

#include "platform/base/run_state.h"
#include "platform/files/paths.h"

namespace vark {
namespace {

// No sound device: every channel is silent and never playing.
class SilentBackend : public AudioBackend {
 public:
  int OpenChannel() override { return next_++; }
  void CloseChannel(int) override {}
  void Play(int, const std::string&) override {}
  void Stop(int) override {}
  bool IsPlaying(int) const override { return false; }

 private:
  int next_ = 0;
};

// The run's backend: silent until a real or a test one is set.
struct AudioHolder {
  std::unique_ptr<AudioBackend> backend = std::make_unique<SilentBackend>();
};

std::unique_ptr<AudioBackend>& Backend() { return CurrentRun().Get<AudioHolder>().backend; }

}  // namespace

AudioBackend& Audio() { return *Backend(); }

void SetAudioBackend(std::unique_ptr<AudioBackend> backend) {
  Backend() = backend ? std::move(backend) : std::make_unique<SilentBackend>();
}

void PrepareSounds(const std::vector<std::string>& gameNames) {
  for (const std::string& name : gameNames) Audio().Prepare(ResolvePath(name).string());
}

// ---- MediaPlayer -----------------------------------------------------------------------

MediaPlayer::MediaPlayer(std::string name) : name_(std::move(name)), channel_(Audio().OpenChannel()) {}

MediaPlayer::~MediaPlayer() { Audio().CloseChannel(channel_); }

void MediaPlayer::SetFileName(std::string gameName) {
  // A new file ends what the channel was playing.
  if (gameName != file_) Stop();
  file_ = std::move(gameName);
}

void MediaPlayer::Play() {
  if (file_.empty() || Audio().IsPlaying(channel_)) return;
  Audio().Play(channel_, ResolvePath(file_).string());
}

void MediaPlayer::Stop() { Audio().Stop(channel_); }

bool MediaPlayer::IsPlaying() const { return Audio().IsPlaying(channel_); }

}  // namespace vark
