#include "platform/sound/sdl_mixer_output.h"

#include <SDL.h>
#include <SDL_mixer.h>
#ifndef __EMSCRIPTEN__
#include <dlfcn.h>
#endif

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <mutex>

#include "platform/base/report_once.h"
#include "platform/base/utf8.h"
#include "platform/runtime/timer.h"
#include "platform/sound/limiter.h"
#include "platform/sound/mixer_backend.h"

namespace vark {
namespace {

constexpr int kChunkFrames = 1024;    // frames the mixer mixes at a time
constexpr int kReopenEveryMs = 2000;  // how often a lost device is tried again
constexpr int kCloseAfterMs = 3000;   // a device paused this long is closed

// SDL_mixer plays our own samples: each effect's chunk points into the sound it holds, and
// the tunes are mixed from their streams' rings by the music hook, so the mixer never
// decodes anything itself (and never holds its lock for long).
// When the device is lost, the mixer closes and each effect still playing keeps the place
// it had reached (the frames mixed since it started), each stream simply waits; the mixer
// opens again at once or on a timer, and the sounds go on from there.
// When nothing plays, the output rests: the mixing thread sees a silent buffer with no
// sound left and wakes the game's thread, which pauses the device (no mixing, no limiter)
// and closes it after a while (a paused device still hands silence to the sound server).
// Anything asked to play wakes it first.
class SdlMixerOutput : public MixerOutput {
 public:
  SdlMixerOutput(PcmFormat format, std::unique_ptr<Limiter> limiter, MixWatcher watcher)
      : format_(format), limiter_(std::move(limiter)), watcher_(std::move(watcher)), wakeEvent_(SDL_RegisterEvents(1)) {
    Hook();
  }
  ~SdlMixerOutput() override {
    if (state_ != kOpen && state_ != kPaused) return;
    Unhook();
    Mix_HaltChannel(-1);
  }

  void Allocate(int channels) override {
    channels_ = channels;
    if (IsOpen()) Mix_AllocateChannels(channels);
  }

  void Start(int channel, SoundStore::Sound sound, SoundUse use) override {
    Halt(channel);
    Held& held = held_[channel];
    held.sound = std::move(sound);
    held.use = use;
    Wake();
    if (IsOpen()) Begin(channel, held);
  }

  void StartStream(int channel, std::shared_ptr<TuneStream> stream, SoundUse use) override {
    Halt(channel);
    Wake();
    std::lock_guard lock(mixing_);
    streams_[channel] = {std::move(stream), use};
  }

  void Halt(int channel) override {
    if (IsOpen()) Mix_HaltChannel(channel);
    held_.erase(channel);
    std::shared_ptr<TuneStream> last;  // let go of outside the lock
    std::lock_guard lock(mixing_);
    auto stream = streams_.find(channel);
    if (stream == streams_.end()) return;
    last = std::move(stream->second.stream);
    streams_.erase(stream);
  }

  // While the device is away, a sound waiting for it counts as playing.
  bool Playing(int channel) const override {
    {
      std::lock_guard lock(mixing_);
      auto stream = streams_.find(channel);
      if (stream != streams_.end()) return !stream->second.stream->Over();
    }
    return IsOpen() ? Mix_Playing(channel) != 0 : held_.count(channel) != 0;
  }

  void SetVolumes(int music, int effects) override {
    musicVolume_ = std::clamp(music, 0, 100);
    effectVolume_ = std::clamp(effects, 0, 100);
  }

  void Settle() override {
    LetGoOfEndedStreams();
    if (state_ == kOpen && restAsked_ && NothingPlays()) Rest();
  }

  void DeviceLost() override {
    if (!IsOpen()) return;
    std::cerr << "vark: the sound device is lost; trying to open it again every " << kReopenEveryMs / 1000 << " s\n";
    Close();
    state_ = kLost;
    Reopen();
    if (state_ == kLost) retry_.SetInterval(kReopenEveryMs);
  }

 private:
  enum State { kOpen, kPaused, kClosed, kLost };
  struct Held {
    SoundStore::Sound sound;
    SoundUse use = SoundUse::kEffect;
    size_t from = 0;         // the sample it (re)starts from
    uint64_t startedAt = 0;  // frames mixed when it started there
    Mix_Chunk chunk{};
  };
  struct Streamed {
    std::shared_ptr<TuneStream> stream;
    SoundUse use = SoundUse::kTune;
  };

  bool IsOpen() const { return state_ == kOpen || state_ == kPaused; }

  int VolumeOf(SoundUse use) const { return use == SoundUse::kTune ? musicVolume_ : effectVolume_; }

  void Begin(int channel, Held& held) {
    const int16_t* from = held.sound->data() + held.from;
    held.chunk.allocated = 0;
    held.chunk.abuf = reinterpret_cast<Uint8*>(const_cast<int16_t*>(from));
    held.chunk.alen = static_cast<Uint32>((held.sound->size() - held.from) * sizeof(int16_t));
    held.chunk.volume = static_cast<Uint8>((MIX_MAX_VOLUME * VolumeOf(held.use) + 50) / 100);
    Mix_PlayChannel(channel, &held.chunk, 0);
    // Read after the start, so a place kept later errs by a block replayed, never skipped.
    held.startedAt = mixed_;
  }

  // Each effect still playing keeps the place it has reached; the others are let go.
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

  // ---- resting ----

  // Never holds the streams' lock while asking the mixer, which the mixing thread holds
  // while it takes that lock.
  bool NothingPlays() const {
    {
      std::lock_guard lock(mixing_);
      if (!streams_.empty()) return false;
    }
    return Mix_Playing(-1) == 0;
  }

  void LetGoOfEndedStreams() {
    std::vector<std::shared_ptr<TuneStream>> ended;  // let go of outside the lock
    std::lock_guard lock(mixing_);
    for (auto it = streams_.begin(); it != streams_.end();) {
      if (!it->second.stream->Over()) {
        ++it;
        continue;
      }
      ended.push_back(std::move(it->second.stream));
      it = streams_.erase(it);
    }
  }

  void Rest() {
    SDL_PauseAudioDevice(device_, 1);
    state_ = kPaused;
    closeRested_.SetInterval(kCloseAfterMs);
  }

  // Before anything starts: a paused device goes on at once, a closed one opens again.
  void Wake() {
    restAsked_ = false;
    if (state_ == kPaused) {
      closeRested_.SetInterval(0);
      state_ = kOpen;
      SDL_PauseAudioDevice(device_, 0);
    } else if (state_ == kClosed) {
      Reopen();
      if (state_ != kLost) return;
      std::cerr << "vark: the sound device is lost; trying to open it again every " << kReopenEveryMs / 1000 << " s\n";
      retry_.SetInterval(kReopenEveryMs);
    }
  }

  void CloseRested() {
    closeRested_.SetInterval(0);
    if (state_ != kPaused) return;
    Close();
    state_ = kClosed;
  }

  // ---- opening and closing ----

  void Close() {
    KeepWhatIsPlaying();
    Unhook();
    Mix_CloseAudio();
    // SDL's sound driver keeps its connection to the sound server, which may be dead now:
    // each opening starts SDL's sound afresh.
    QuitSdlAudio();
  }

  // Every sound is decoded in the format the device was first opened in, so the device
  // opened again must have exactly that one (no change allowed: SDL converts for a device
  // that wants another).
  void Reopen() {
    bool wasLost = state_ == kLost;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0 ||
        Mix_OpenAudioDevice(format_.rate, AUDIO_S16SYS, format_.channels, kChunkFrames, nullptr, 0) != 0) {
      QuitSdlAudio();
      state_ = kLost;
      return;
    }
    state_ = kOpen;
    retry_.SetInterval(0);
    limiter_ = LimiterForMixer();
    Hook();
    if (channels_ > 0) Mix_AllocateChannels(channels_);
    for (auto& [channel, held] : held_) Begin(channel, held);
    if (wasLost) std::cerr << "vark: the sound device is back\n";
  }

  // SDL counts its users of sound and of events; quitting sound also lets go of events
  // once, even when sound was not running (a start that failed). So it quits only sound
  // that runs, or the game's input would stop after a few tries.
  static void QuitSdlAudio() {
    if (SDL_WasInit(SDL_INIT_AUDIO)) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }

  // What the open mixer is given: the tunes' hook, the frame count and the watch on the
  // finished mix (which also notices silence).
  void Hook() {
    device_ = OpenDeviceId();
    Mix_HookMusic(MixTunes, this);
    Mix_RegisterEffect(MIX_CHANNEL_POST, CountFrames, nullptr, this);
    Mix_SetPostMix(Finished, this);
  }
  void Unhook() {
    Mix_SetPostMix(nullptr, nullptr);  // the limiter goes with this output
    Mix_HookMusic(nullptr, nullptr);
    Mix_UnregisterEffect(MIX_CHANNEL_POST, CountFrames);
  }

  // SDL_mixer does not say which device it opened; it is the one playing output device.
  static SDL_AudioDeviceID OpenDeviceId() {
    for (SDL_AudioDeviceID id = 2; id < 64; ++id)
      if (SDL_GetAudioDeviceStatus(id) == SDL_AUDIO_PLAYING) return id;
    return 0;
  }

  // ---- the mixing thread ----

  static void MixTunes(void* self, Uint8* stream, int bytes) {
    auto* output = static_cast<SdlMixerOutput*>(self);
    auto* mix = reinterpret_cast<int16_t*>(stream);
    size_t frames = static_cast<size_t>(bytes) / (sizeof(int16_t) * output->format_.channels);
    std::lock_guard lock(output->mixing_);
    for (auto& [channel, streamed] : output->streams_) {
      double volume = double(kMixVolume) / MIX_MAX_VOLUME * output->VolumeOf(streamed.use) / 100;
      streamed.stream->MixInto(mix, frames, volume);
    }
  }

  static void CountFrames(int, void*, int bytes, void* self) {
    auto* output = static_cast<SdlMixerOutput*>(self);
    output->mixed_ += static_cast<uint64_t>(bytes) / (sizeof(int16_t) * output->format_.channels);
  }

  // The finished mix: watched, limited, and when it is silence with nothing left to play,
  // the game's thread is asked to let the device rest.
  static void Finished(void* self, Uint8* stream, int bytes) {
    auto* output = static_cast<SdlMixerOutput*>(self);
    auto* samples = reinterpret_cast<int16_t*>(stream);
    size_t count = static_cast<size_t>(bytes) / sizeof(int16_t);
    bool silent = std::all_of(samples, samples + count, [](int16_t s) { return s == 0; });
    if (output->limiter_) output->limiter_->Process(samples, count);
    if (output->watcher_) output->watcher_(samples, count);
    if (silent && !output->restAsked_ && output->NothingPlays()) {
      output->restAsked_ = true;
      SDL_Event wake{};
      wake.type = output->wakeEvent_;
      SDL_PushEvent(&wake);
    }
  }

  const PcmFormat format_;
  std::unique_ptr<Limiter> limiter_;  // on the open device's finished mix
  MixWatcher watcher_;
  const Uint32 wakeEvent_;
  std::atomic<uint64_t> mixed_{0};  // frames mixed since the device first opened (audio thread)
  std::atomic<bool> restAsked_{false};
  std::atomic<int> musicVolume_{100};
  std::atomic<int> effectVolume_{100};
  State state_ = kOpen;
  SDL_AudioDeviceID device_ = 0;
  int channels_ = 0;
  std::map<int, Held> held_;
  mutable std::mutex mixing_;  // the streams, between the game's thread and the mixing thread
  std::map<int, Streamed> streams_;
  Timer retry_{"SoundDevice", 0, [this] { Reopen(); }};
  Timer closeRested_{"SoundRest", 0, [this] { CloseRested(); }};
};

#ifndef __EMSCRIPTEN__
void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}
#endif

// ALSA's library prints its own complaints ("cannot find card '0'", several lines) when the
// machine has no sound card; the game's one line says all a player needs. SDL loads ALSA
// itself when it opens the device, so the same library gets a silent error handler first.
// A browser has neither ALSA nor dlopen.
void QuietAlsa() {
#ifndef __EMSCRIPTEN__
  void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
  if (!alsa) return;  // no ALSA, no noise; the library stays loaded for SDL
  using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
  if (auto set = reinterpret_cast<int (*)(Handler)>(dlsym(alsa, "snd_lib_error_set_handler"))) set(IgnoreAlsaError);
#endif
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

void OpenRealAudio(TuneWork::Driver driver, MixWatcher watcher) {
  // The effects are made at 22050 Hz, and the tunes are decoded at the device's rate.
  QuietAlsa();
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0 || Mix_OpenAudio(22050, AUDIO_S16SYS, 2, kChunkFrames) != 0) {
    std::cerr << "vark: no sound device, playing silently: " << SDL_GetError() << "\n";
    return;
  }
  std::unique_ptr<Limiter> limiter = LimiterForMixer();
  // A sound server that goes away is waited for, rather than another driver taken meanwhile.
  SDL_SetHint(SDL_HINT_AUDIODRIVER, SDL_GetCurrentAudioDriver());
  PcmFormat device;
  Uint16 format = 0;
  Mix_QuerySpec(&device.rate, &format, &device.channels);
  std::string font = FirstSoundFont();
#ifndef __EMSCRIPTEN__  // the page's tunes are MP3s: it has no soundfont to miss
  if (font.empty()) std::cerr << "vark: no soundfont under /usr/share/sounds/sf2: MIDI tunes stay silent\n";
#endif
  // One line per troublesome sound file for the whole run, quoting only a short printable
  // part of its name; the game's thread (effects) and the tunes' worker both tell.
  struct Told {
    std::mutex mutex;
    ReportedOnce files;
  };
  auto told = std::make_shared<Told>();
  auto report = [told](const std::string& path, const std::string& problem) {
    std::lock_guard lock(told->mutex);
    if (told->files.First(path)) std::cerr << "vark: sound " << PrintablePrefix(path, 120) << ": " << problem << "\n";
  };
  auto decode = [device, report](const std::string& path, SoundUse use) {
    static const std::atomic<bool> never{false};
    DecodedSound sound = DecodeSoundFile(path, device, "", never, {}, use);
    if (!sound.problem.empty()) report(path, sound.problem);
    return std::move(sound.samples);
  };
  SetAudioBackend(
      std::make_unique<MixerBackend>(std::make_unique<SdlMixerOutput>(device, std::move(limiter), std::move(watcher)),
                                     decode, HoldsTune, TuneWork::Setup{device, font, {}, report}, driver));
}

}  // namespace vark
