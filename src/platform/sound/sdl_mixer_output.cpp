#include "platform/sound/sdl_mixer_output.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <dlfcn.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>

#include "platform/base/report_once.h"
#include "platform/base/utf8.h"
#include "platform/runtime/timer.h"
#include "platform/sound/limiter.h"
#include "platform/sound/mixer_backend.h"

namespace vark {
namespace {

constexpr int kChunkFrames = 1024;    // frames the mixer mixes at a time
constexpr int kReopenEveryMs = 2000;  // how often a lost device is tried again

// SDL_mixer plays our own decoded samples: each channel's chunk points into the sound it
// holds, so the mixer never decodes anything itself (and never holds its lock for long).
// When the device is lost, the mixer closes and each sound still playing keeps the place
// it had reached (the frames mixed since it started); the mixer opens again at once or
// on a timer, and the sounds go on from there.
class SdlMixerOutput : public MixerOutput {
 public:
  SdlMixerOutput(PcmFormat format, std::unique_ptr<Limiter> limiter) : format_(format), limiter_(std::move(limiter)) {
    CountMixedFrames();
  }
  ~SdlMixerOutput() override {
    if (!open_) return;
    Mix_SetPostMix(nullptr, nullptr);  // the limiter goes with this output
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
    limiter_ = InstallLimiter();
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
  std::unique_ptr<Limiter> limiter_;  // on the open device's finished mix
  std::atomic<uint64_t> mixed_{0};    // frames mixed since the device first opened (audio thread)
  bool open_ = true;
  int channels_ = 0;
  std::map<int, Held> held_;
  Timer retry_{"SoundDevice", 0, [this] { Reopen(); }};
};

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

void OpenRealAudio() {
  // The effects are made at 22050 Hz, and the tunes are kept decoded at the device's
  // rate: at this rate the four tunes the screens return to fit in about 31 MB.
  QuietAlsa();
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0 || Mix_OpenAudio(22050, AUDIO_S16SYS, 2, kChunkFrames) != 0) {
    std::cerr << "vark: no sound device, playing silently: " << SDL_GetError() << "\n";
    return;
  }
  std::unique_ptr<Limiter> limiter = InstallLimiter();
  // A sound server that goes away is waited for, rather than another driver taken meanwhile.
  SDL_SetHint(SDL_HINT_AUDIODRIVER, SDL_GetCurrentAudioDriver());
  PcmFormat device;
  Uint16 format = 0;
  Mix_QuerySpec(&device.rate, &format, &device.channels);
  std::string font = FirstSoundFont();
  if (font.empty()) std::cerr << "vark: no soundfont under /usr/share/sounds/sf2: music stays silent\n";
  // One line per troublesome sound file for the whole run, quoting only a short printable
  // part of its name.
  auto said = std::make_shared<ReportedOnce>();
  auto decode = [device, font, said](const std::string& path, const std::atomic<bool>& cancelled) {
    DecodedSound sound = DecodeSoundFile(path, device, font, cancelled);
    if (!sound.problem.empty() && !cancelled && said->First(path))
      std::cerr << "vark: sound " << PrintablePrefix(path, 120) << ": " << sound.problem << "\n";
    return std::move(sound.samples);
  };
  // The decoder holds copies of all it uses, so a tune still decoding at the end is left
  // to its worker instead of being waited for.
  SetAudioBackend(std::make_unique<MixerBackend>(std::make_unique<SdlMixerOutput>(device, std::move(limiter)), decode,
                                                 HoldsTune, true));
}

}  // namespace vark
