#include "platform/sound/media.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <dlfcn.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <set>

#include "platform/sound/limiter.h"
#include "platform/files/paths.h"
#include "platform/runtime/timer.h"
#include "platform/base/utf8.h"

namespace vark {

// ---- SoundStore ------------------------------------------------------------------------

SoundStore::SoundStore(Decoder decode, IsSlow slow, bool abandonBusyWorker)
    : slow_(std::move(slow)),
      abandonBusyWorker_(abandonBusyWorker),
      work_(std::make_shared<Work>()),
      worker_([work = work_] { DecodeLoop(work); }) {
  work_->decode = std::move(decode);
}

SoundStore::~SoundStore() {
  bool busy = false;
  {
    std::lock_guard lock(work_->mutex);
    work_->quit = true;
    busy = work_->busy;
  }
  work_->wake.notify_all();
  if (busy && abandonBusyWorker_) worker_.detach();
  else worker_.join();
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
    Store(entry, DecodeGuarded(work_->decode, path, never));
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
    std::lock_guard lock(work_->mutex);
    finished.swap(work_->finished);
  }
  for (auto& [path, samples] : finished) Store(entries_[path], std::move(samples));
}

void SoundStore::ReleaseUnclaimed() {
  for (auto& [path, entry] : entries_)
    if (!entry.keep) entry.own.reset();
}

void SoundStore::WaitUntilIdle() {
  std::unique_lock lock(work_->mutex);
  work_->wake.wait(lock, [this] { return work_->queue.empty() && !work_->busy; });
}

void SoundStore::Queue(const std::string& path, bool urgent) {
  {
    std::lock_guard lock(work_->mutex);
    if (urgent) work_->queue.push_front(path);
    else work_->queue.push_back(path);
  }
  work_->wake.notify_all();
}

void SoundStore::Store(Entry& entry, Samples samples) {
  entry.queued = false;
  entry.failed = samples.empty();
  if (entry.failed) return;
  entry.own = std::make_shared<const Samples>(std::move(samples));
  entry.held = entry.own;
}

Samples SoundStore::DecodeGuarded(const Decoder& decode, const std::string& path, const std::atomic<bool>& cancelled) {
  // One file that cannot be decoded (even for want of memory) costs only its own sound.
  try {
    return decode(path, cancelled);
  } catch (const std::exception& e) {
    std::cerr << "vark: cannot play " << PrintablePrefix(path, 120) << ": " << e.what() << "\n";
  } catch (...) {
    std::cerr << "vark: cannot play " << PrintablePrefix(path, 120) << "\n";
  }
  return {};
}

void SoundStore::DecodeLoop(const std::shared_ptr<Work>& work) {
  for (;;) {
    std::string path;
    {
      std::unique_lock lock(work->mutex);
      work->busy = false;
      work->wake.notify_all();
      work->wake.wait(lock, [&] { return work->quit || !work->queue.empty(); });
      if (work->quit) return;
      path = work->queue.front();
      work->queue.pop_front();
      work->busy = true;
    }
    Samples samples = DecodeGuarded(work->decode, path, work->quit);
    std::lock_guard lock(work->mutex);
    work->finished.emplace_back(path, std::move(samples));
  }
}

// ---- MixerBackend -----------------------------------------------------------------------

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

constexpr int kChunkFrames = 1024;    // frames the mixer mixes at a time
constexpr int kReopenEveryMs = 2000;  // how often a lost device is tried again

// SDL_mixer plays our own decoded samples: each channel's chunk points into the sound it
// holds, so the mixer never decodes anything itself (and never holds its lock for long).
// When the device is lost, the mixer closes and each sound still playing keeps the place
// it had reached (the frames mixed since it started); the mixer opens again at once or
// on a timer, and the sounds go on from there.
class SdlMixerOutput : public MixerOutput {
 public:
  explicit SdlMixerOutput(PcmFormat format) : format_(format) { CountMixedFrames(); }
  ~SdlMixerOutput() override {
    if (!open_) return;
    Mix_UnregisterEffect(MIX_CHANNEL_POST, CountFrames);
    Mix_HaltChannel(-1);
  }

  void Allocate(int channels) override {
    channels_ = channels;
    if (open_) Mix_AllocateChannels(channels);
  }

  void Start(int channel, SoundStore::Sound sound) override {
    Halt(channel);
    Held& held = held_[channel];
    held.sound = std::move(sound);
    if (open_) Begin(channel, held);
  }

  void Halt(int channel) override {
    if (open_) Mix_HaltChannel(channel);
    held_.erase(channel);
  }

  // While the device is away, a sound waiting for it counts as playing.
  bool Playing(int channel) const override { return open_ ? Mix_Playing(channel) != 0 : held_.count(channel) != 0; }

  void DeviceLost() override {
    if (!open_) return;
    std::cerr << "vark: the sound device is lost; trying to open it again every " << kReopenEveryMs / 1000 << " s\n";
    KeepWhatIsPlaying();
    Mix_UnregisterEffect(MIX_CHANNEL_POST, CountFrames);
    Mix_CloseAudio();
    // SDL's sound driver keeps its connection to the sound server, which is dead now: each
    // try starts SDL's sound afresh.
    QuitSdlAudio();
    open_ = false;
    Reopen();
    if (!open_) retry_.SetInterval(kReopenEveryMs);
  }

 private:
  struct Held {
    SoundStore::Sound sound;
    size_t from = 0;         // the sample it (re)starts from
    uint64_t startedAt = 0;  // frames mixed when it started there
    Mix_Chunk chunk{};
  };

  void Begin(int channel, Held& held) {
    const int16_t* from = held.sound->data() + held.from;
    held.chunk.allocated = 0;
    held.chunk.abuf = reinterpret_cast<Uint8*>(const_cast<int16_t*>(from));
    held.chunk.alen = static_cast<Uint32>((held.sound->size() - held.from) * sizeof(int16_t));
    held.chunk.volume = MIX_MAX_VOLUME;
    Mix_PlayChannel(channel, &held.chunk, 0);
    // Read after the start, so a place kept later errs by a block replayed, never skipped.
    held.startedAt = mixed_;
  }

  // Each sound still playing keeps the place it has reached; the others are let go.
  void KeepWhatIsPlaying() {
    for (auto it = held_.begin(); it != held_.end();) {
      Held& held = it->second;
      size_t reached = held.from + static_cast<size_t>(mixed_ - held.startedAt) * format_.channels;
      if (Mix_Playing(it->first) && reached < held.sound->size()) {
        held.from = reached;
        ++it;
      } else {
        it = held_.erase(it);
      }
    }
  }

  // Every sound is decoded in the format the device was first opened in, so the device
  // opened again must have exactly that one (no change allowed: SDL converts for a device
  // that wants another).
  void Reopen() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0 ||
        Mix_OpenAudioDevice(format_.rate, AUDIO_S16SYS, format_.channels, kChunkFrames, nullptr, 0) != 0) {
      QuitSdlAudio();
      return;
    }
    open_ = true;
    retry_.SetInterval(0);
    InstallLimiter();
    CountMixedFrames();
    if (channels_ > 0) Mix_AllocateChannels(channels_);
    for (auto& [channel, held] : held_) Begin(channel, held);
    std::cerr << "vark: the sound device is back\n";
  }

  // SDL counts its users of sound and of events; quitting sound also lets go of events
  // once, even when sound was not running (a start that failed). So it quits only sound
  // that runs, or the game's input would stop after a few tries.
  static void QuitSdlAudio() {
    if (SDL_WasInit(SDL_INIT_AUDIO)) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }

  void CountMixedFrames() { Mix_RegisterEffect(MIX_CHANNEL_POST, CountFrames, nullptr, this); }
  static void CountFrames(int, void*, int bytes, void* self) {
    auto* output = static_cast<SdlMixerOutput*>(self);
    output->mixed_ += static_cast<uint64_t>(bytes) / (sizeof(int16_t) * output->format_.channels);
  }

  const PcmFormat format_;
  std::atomic<uint64_t> mixed_{0};  // frames mixed since the device first opened (audio thread)
  bool open_ = true;
  int channels_ = 0;
  std::map<int, Held> held_;
  Timer retry_{"SoundDevice", 0, [this] { Reopen(); }};
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

void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

// ALSA's library prints its own complaints ("cannot find card '0'", several lines) when the
// machine has no sound card; the game's one line says all a player needs. SDL loads ALSA
// itself when it opens the device, so the same library gets a silent error handler first.
void QuietAlsa() {
  void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
  if (!alsa) return;  // no ALSA, no noise; the library stays loaded for SDL
  using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
  if (auto set = reinterpret_cast<int (*)(Handler)>(dlsym(alsa, "snd_lib_error_set_handler"))) set(IgnoreAlsaError);
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
  QuietAlsa();
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0 || Mix_OpenAudio(22050, AUDIO_S16SYS, 2, kChunkFrames) != 0) {
    std::cerr << "vark: no sound device, playing silently: " << SDL_GetError() << "\n";
    return;
  }
  InstallLimiter();
  // A sound server that goes away is waited for, rather than another driver taken meanwhile.
  SDL_SetHint(SDL_HINT_AUDIODRIVER, SDL_GetCurrentAudioDriver());
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
  // The decoder holds copies of all it uses, so a tune still decoding at the end is left
  // to its worker instead of being waited for.
  SetAudioBackend(std::make_unique<MixerBackend>(std::make_unique<SdlMixerOutput>(device), decode, HoldsTune, true));
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
