// Media channels: each plays one sound or tune file. Giving a channel its file does not
// start it; Play on a playing channel leaves it playing; Play on a finished channel
// starts again from the beginning; Stop then Play restarts; a form's channels stop when
// it unloads. Failures (no audio device, a missing or broken file) are silent.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace vark {

// What a channel needs from the sound system. The game uses SDL_mixer; tests use a fake.
class AudioBackend {
 public:
  virtual ~AudioBackend() = default;
  virtual int OpenChannel() = 0;
  virtual void CloseChannel(int channel) = 0;
  // Starts the file (a real path) on the channel from its beginning.
  virtual void Play(int channel, const std::string& path) = 0;
  virtual void Stop(int channel) = 0;
  virtual bool IsPlaying(int channel) const = 0;
  // Called by the loop between events (letting go of sounds that ended, resting the output).
  virtual void Pump() {}
  // Measures the tune (a real path) ahead of its first play.
  virtual void Prepare(const std::string&) {}
  // Volumes of tunes and of effects, each 0 (silent) to 100 (as levelled).
  virtual void SetVolumes(int, int) {}
  // The sound device is gone (the sound server stopped, the card was unplugged).
  virtual void DeviceLost() {}
};

AudioBackend& Audio();
void SetAudioBackend(std::unique_ptr<AudioBackend> backend);
// Measures these tunes (game names) in this order, long before they are played, so each
// plays at its level from its first note.
void PrepareSounds(const std::vector<std::string>& gameNames);

class MediaPlayer {
 public:
  explicit MediaPlayer(std::string name);
  ~MediaPlayer();
  MediaPlayer(const MediaPlayer&) = delete;
  MediaPlayer& operator=(const MediaPlayer&) = delete;

  const std::string& Name() const { return name_; }
  void SetFileName(std::string gameName);
  const std::string& FileName() const { return file_; }
  void Play();
  void Stop();
  bool IsPlaying() const;
  int Channel() const { return channel_; }

 private:
  std::string name_;
  std::string file_;
  int channel_;
};

}  // namespace vark
