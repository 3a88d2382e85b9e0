// Media channels: each plays one sound or tune file. Giving a channel its file does not
// start it; Play on a playing channel leaves it playing; Play on a finished channel
// starts again from the beginning; Stop then Play restarts; a form's channels stop when
// it unloads. Failures (no audio device, a missing or broken file) are silent.
#pragma once

#include <memory>
#include <string>

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
  // Called by the loop between events (finishing background decoding).
  virtual void Pump() {}
};

AudioBackend& Audio();
void SetAudioBackend(std::unique_ptr<AudioBackend> backend);
// Opens the sound device with SDL_mixer; without one the game stays silent.
void OpenRealAudio();

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
