#include "platform/media.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <set>

#include "platform/limiter.h"
#include "platform/paths.h"
#include "platform/utf8.h"

namespace vark {

// ---- SoundStore ------------------------------------------------------------------------

SoundStore::SoundStore(Decoder decode, IsSlow slow)
    : decode_(std::move(decode)), slow_(std::move(slow)), worker_([this] { DecodeLoop(); }) {}

SoundStore::~SoundStore() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  wake_.notify_all();
  worker_.join();
}

SoundStore::Found SoundStore::Find(const std::string& path) {
  Entry& entry = entries_[path];
  if (entry.failed) return {};
  if (entry.own) return {entry.own, false};
  if (Sound held = entry.held.lock()) return {held, false};
  if (!slow_(path)) {
    // Effects are short and played again and again: decoded here and kept.
    static const std::atomic<bool> never{false};
    entry.keep = true;
    Store(entry, DecodeGuarded(path, never));
    return {entry.own, false};
  }
  if (!entry.queued) Queue(path, true);
  entry.queued = true;
  return {nullptr, true};
}

void SoundStore::Keep(const std::string& path) {
  Entry& entry = entries_[path];
  entry.keep = true;
  if (entry.own || entry.queued || entry.failed) return;
  if ((entry.own = entry.held.lock())) return;
  entry.queued = true;
  Queue(path, false);
}

void SoundStore::Collect() {
  std::vector<std::pair<std::string, Samples>> finished;
  {
    std::lock_guard lock(mutex_);
    finished.swap(finished_);
  }
  for (auto& [path, samples] : finished) Store(entries_[path], std::move(samples));
}

void SoundStore::ReleaseUnclaimed() {
  for (auto& [path, entry] : entries_)
    if (!entry.keep) entry.own.reset();
}

void SoundStore::WaitUntilIdle() {
  std::unique_lock lock(mutex_);
  wake_.wait(lock, [this] { return queue_.empty() && !busy_; });
}

void SoundStore::Queue(const std::string& path, bool urgent) {
  {
    std::lock_guard lock(mutex_);
    if (urgent) queue_.push_front(path);
    else queue_.push_back(path);
  }
  wake_.notify_all();
}

void SoundStore::Store(Entry& entry, Samples samples) {
  entry.queued = false;
  entry.failed = samples.empty();
  if (entry.failed) return;
  entry.own = std::make_shared<const Samples>(std::move(samples));
  entry.held = entry.own;
}

Samples SoundStore::DecodeGuarded(const std::string& path, const std::atomic<bool>& cancelled) {
  // One file that cannot be decoded (even for want of memory) costs only its own sound.
  try {
    return decode_(path, cancelled);
  } catch (const std::exception& e) {
    std::cerr << "vark: cannot play " << PrintablePrefix(path, 120) << ": " << e.what() << "\n";
  } catch (...) {
    std::cerr << "vark: cannot play " << PrintablePrefix(path, 120) << "\n";
  }
  return {};
}

void SoundStore::DecodeLoop() {
  for (;;) {
    std::string path;
    {
      std::unique_lock lock(mutex_);
      busy_ = false;
      wake_.notify_all();
      wake_.wait(lock, [this] { return quit_ || !queue_.empty(); });
      if (quit_) return;
      path = queue_.front();
      queue_.pop_front();
      busy_ = true;
    }
    Samples samples = DecodeGuarded(path, quit_);
    std::lock_guard lock(mutex_);
    finished_.emplace_back(path, std::move(samples));
  }
}
// ---- MixerBackend -----------------------------------------------------------------------

MixerBackend::MixerBackend(std::unique_ptr<MixerOutput> output, SoundStore::Decoder decode, SoundStore::IsSlow slow)
    : output_(std::move(output)), store_(std::move(decode), std::move(slow)) {}

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

// SDL_mixer plays our own decoded samples: each channel's chunk points into the sound it
// holds, so the mixer never decodes anything itself (and never holds its lock for long).
class SdlMixerOutput : public MixerOutput {
 public:
  ~SdlMixerOutput() override { Mix_HaltChannel(-1); }
  void Allocate(int channels) override { Mix_AllocateChannels(channels); }

  void Start(int channel, SoundStore::Sound sound) override {
    Halt(channel);
    Held& held = held_[channel];
    held.sound = std::move(sound);
    held.chunk.allocated = 0;
    held.chunk.abuf = reinterpret_cast<Uint8*>(const_cast<int16_t*>(held.sound->data()));
    held.chunk.alen = static_cast<Uint32>(held.sound->size() * sizeof(int16_t));
    held.chunk.volume = MIX_MAX_VOLUME;
    Mix_PlayChannel(channel, &held.chunk, 0);
  }

  void Halt(int channel) override {
    Mix_HaltChannel(channel);
    held_.erase(channel);
  }

  bool Playing(int channel) const override { return Mix_Playing(channel); }

 private:
  struct Held {
    SoundStore::Sound sound;
    Mix_Chunk chunk{};
  };
  std::map<int, Held> held_;
};

std::unique_ptr<AudioBackend>& Backend() {
  static std::unique_ptr<AudioBackend> backend = std::make_unique<SilentBackend>();
  return backend;
}

// One line per troublesome sound file for the whole run, quoting only a short printable
// part of its name.
void ReportOnce(const std::string& path, const std::string& problem) {
  static std::mutex mutex;
  static std::set<std::string> reported;
  std::lock_guard lock(mutex);
  if (!reported.insert(path).second) return;
  std::cerr << "vark: sound " << PrintablePrefix(path, 120) << ": " << problem << "\n";
}

std::string FirstSoundFont() {
  std::error_code ec;
  std::vector<std::string> fonts;
  for (std::filesystem::directory_iterator it("/usr/share/sounds/sf2", ec), end; !ec && it != end; it.increment(ec))
    if (it->path().extension() == ".sf2") fonts.push_back(it->path().string());
  std::sort(fonts.begin(), fonts.end());
  return fonts.empty() ? std::string() : fonts.front();
}

}  // namespace

AudioBackend& Audio() { return *Backend(); }

void SetAudioBackend(std::unique_ptr<AudioBackend> backend) {
  Backend() = backend ? std::move(backend) : std::make_unique<SilentBackend>();
}

void OpenRealAudio() {
  // The effects are made at 22050 Hz, and the tunes are kept decoded at the device's
  // rate: at this rate the four tunes the screens return to fit in about 31 MB.
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0 || Mix_OpenAudio(22050, AUDIO_S16SYS, 2, 1024) != 0) {
    std::cerr << "vark: no sound device, playing silently: " << SDL_GetError() << "\n";
    return;
  }
  InstallLimiter();
  PcmFormat device;
  Uint16 format = 0;
  Mix_QuerySpec(&device.rate, &format, &device.channels);
  std::string font = FirstSoundFont();
  if (font.empty()) std::cerr << "vark: no soundfont under /usr/share/sounds/sf2: music stays silent\n";
  auto decode = [device, font](const std::string& path, const std::atomic<bool>& cancelled) {
    DecodedSound sound = DecodeSoundFile(path, device, font, cancelled);
    if (!sound.problem.empty() && !cancelled) ReportOnce(path, sound.problem);
    return std::move(sound.samples);
  };
  SetAudioBackend(std::make_unique<MixerBackend>(std::make_unique<SdlMixerOutput>(), decode, HoldsTune));
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
