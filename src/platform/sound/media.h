// Media channels: each plays one sound or tune file. Giving a channel its file does not
// start it; Play on a playing channel leaves it playing; Play on a finished channel
// starts again from the beginning; Stop then Play restarts; a form's channels stop when
// it unloads. Failures (no audio device, a missing or broken file) are silent.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/sound/sound_decode.h"

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
  // Starts decoding the file (a real path) now and keeps it for the whole run.
  virtual void Prepare(const std::string&) {}
  // The sound device is gone (the sound server stopped, the card was unplugged).
  virtual void DeviceLost() {}
};

AudioBackend& Audio();
void SetAudioBackend(std::unique_ptr<AudioBackend> backend);
// Opens the sound device with SDL_mixer; without one the game stays silent. When the device
// is lost later, it is opened again at once and then every 2 s until it is back, in the
// format it had before (so every decoded sound still fits it). Meanwhile sound stands
// still: what was playing, and what is asked to play, goes on from where it stood.
void OpenRealAudio();
// Starts decoding these files (game names) in this order, long before they are played,
// and keeps them: the tunes the screens come back to again and again.
void PrepareSounds(const std::vector<std::string>& gameNames);

// Decoded sounds by path. Short effects decode at once on the asking thread; tunes
// decode one after another on a worker thread. Sounds asked to be kept stay for the whole
// run; any other tune lives only while a channel holds it.
class SoundStore {
 public:
  using Sound = std::shared_ptr<const Samples>;
  // Returns the decoded sound, empty on failure; should stop early once `cancelled` is set.
  using Decoder = std::function<Samples(const std::string& path, const std::atomic<bool>& cancelled)>;
  using IsSlow = std::function<bool(const std::string& path)>;

  // A store told to abandon its worker does not wait, when it ends, for a tune still
  // decoding: the worker finishes it on its own and throws it away, so the program ends at
  // once. The decoder must then hold everything it uses.
  SoundStore(Decoder decode, IsSlow slow, bool abandonBusyWorker = false);
  ~SoundStore();
  SoundStore(const SoundStore&) = delete;
  SoundStore& operator=(const SoundStore&) = delete;

  struct Found {
    Sound sound;           // set when decoded
    bool pending = false;  // still decoding
  };
  // The sound, or word that it is still decoding (it is then queued ahead of the
  // prepared ones), or neither when the file cannot be decoded. A tune the worker has
  // finished counts as decoding until Collect takes it in.
  Found Find(const std::string& path);
  // Queues the sound behind those already queued and keeps it once decoded.
  void Keep(const std::string& path);
  // Takes in what the worker has finished (UI thread).
  void Collect();
  // Lets go of tunes nobody keeps: from now on only the channels playing them hold them.
  void ReleaseUnclaimed();
  // Blocks until the worker has nothing left to do (for tests and measurements): every
  // queued decode must be able to finish.
  void WaitUntilIdle();

 private:
  struct Entry {
    Sound own;
    std::weak_ptr<const Samples> held;  // the sound while anyone holds it
    bool keep = false;
    bool queued = false;
    bool failed = false;
  };
  // What the store shares with its worker; it lives as long as either of them.
  struct Work {
    Decoder decode;
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<std::string> queue;
    std::vector<std::pair<std::string, Samples>> finished;
    bool busy = false;
    std::atomic<bool> quit{false};
  };
  void Queue(const std::string& path, bool urgent);
  void Store(Entry& entry, Samples samples);
  // The decoder's sound, or nothing (and a line on stderr) when it throws.
  static Samples DecodeGuarded(const Decoder& decode, const std::string& path, const std::atomic<bool>& cancelled);
  static void DecodeLoop(const std::shared_ptr<Work>& work);

  IsSlow slow_;
  bool abandonBusyWorker_;
  std::map<std::string, Entry> entries_;  // UI thread only
  std::shared_ptr<Work> work_;
  std::thread worker_;
};

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

// Channels over a mixer and a store: a channel asked to play a tune that is still
// decoding counts as playing and starts as soon as the tune is ready.
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
