#include "platform/media.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <iostream>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/paths.h"

namespace vark {
namespace {

// FluidSynth renders General MIDI tunes far below full scale, so a tune would sound much
// quieter than the effects beside it. A decoded tune is brought up to a common peak level
// (at most four times louder). The mixer's samples are signed 16-bit (see OpenRealAudio).
void RaiseQuietTune(Mix_Chunk* chunk) {
  constexpr int kTargetPeak = 22000;
  constexpr double kMostGain = 4.0;
  auto* samples = reinterpret_cast<int16_t*>(chunk->abuf);
  size_t count = chunk->alen / sizeof(int16_t);
  int peak = 1;
  for (size_t i = 0; i < count; ++i) peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
  double gain = std::min(kMostGain, static_cast<double>(kTargetPeak) / peak);
  if (gain <= 1.0) return;
  for (size_t i = 0; i < count; ++i) samples[i] = static_cast<int16_t>(std::lround(samples[i] * gain));
}

bool IsTune(const std::string& path) {
  return path.size() > 4 && SameNameIgnoringCase(path.substr(path.size() - 4), ".mid");
}

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

// SDL_mixer: one mixer channel per media channel, one decoded sound per file for the
// whole run. Decoding (a MIDI tune through FluidSynth takes a while) happens on a worker
// thread, so the game never stalls; a channel asked to play meanwhile counts as playing
// and starts as soon as its sound is ready.
class MixerBackend : public AudioBackend {
 public:
  MixerBackend() : worker_([this] { DecodeLoop(); }) {}

  ~MixerBackend() override {
    {
      std::lock_guard lock(mutex_);
      quit_ = true;
    }
    wake_.notify_all();
    worker_.join();
    Mix_HaltChannel(-1);
    for (auto& [path, chunk] : cache_)
      if (chunk) Mix_FreeChunk(chunk);
  }

  int OpenChannel() override {
    for (size_t i = 0; i < used_.size(); ++i) {
      if (!used_[i]) {
        used_[i] = true;
        return static_cast<int>(i);
      }
    }
    used_.push_back(true);
    Mix_AllocateChannels(static_cast<int>(used_.size()));
    return static_cast<int>(used_.size() - 1);
  }

  void CloseChannel(int channel) override {
    Stop(channel);
    if (channel >= 0 && channel < static_cast<int>(used_.size())) used_[channel] = false;
  }

  void Play(int channel, const std::string& path) override {
    Collect();
    if (auto it = cache_.find(path); it != cache_.end()) {
      if (it->second) Mix_PlayChannel(channel, it->second, 0);
      return;
    }
    waiting_[channel] = path;
    Request(path);
  }

  void Stop(int channel) override {
    waiting_.erase(channel);
    Mix_HaltChannel(channel);
  }

  bool IsPlaying(int channel) const override { return waiting_.count(channel) || Mix_Playing(channel); }

  void Pump() override {
    if (waiting_.empty()) return;
    Collect();
    for (auto it = waiting_.begin(); it != waiting_.end();) {
      auto found = cache_.find(it->second);
      if (found == cache_.end()) {
        ++it;
        continue;
      }
      if (found->second) Mix_PlayChannel(it->first, found->second, 0);
      it = waiting_.erase(it);
    }
  }

 private:
  void Request(const std::string& path) {
    std::lock_guard lock(mutex_);
    if (requested_.count(path)) return;
    requested_[path] = true;
    queue_.push_back(path);
    wake_.notify_all();
  }

  // Moves finished decodes into the cache (UI thread).
  void Collect() {
    std::lock_guard lock(mutex_);
    for (auto& [path, chunk] : finished_) cache_[path] = chunk;
    finished_.clear();
  }

  void DecodeLoop() {
    for (;;) {
      std::string path;
      {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [this] { return quit_ || !queue_.empty(); });
        if (quit_) return;
        path = queue_.front();
        queue_.pop_front();
      }
      Mix_Chunk* chunk = Mix_LoadWAV(path.c_str());
      if (!chunk) std::cerr << "vark: cannot play " << path << ": " << Mix_GetError() << "\n";
      else if (IsTune(path)) RaiseQuietTune(chunk);
      std::lock_guard lock(mutex_);
      finished_.push_back({path, chunk});
    }
  }

  std::vector<bool> used_;
  std::map<std::string, Mix_Chunk*> cache_;
  std::map<int, std::string> waiting_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::string> queue_;
  std::map<std::string, bool> requested_;
  std::vector<std::pair<std::string, Mix_Chunk*>> finished_;
  bool quit_ = false;
  std::thread worker_;
};

std::unique_ptr<AudioBackend>& Backend() {
  static std::unique_ptr<AudioBackend> backend = std::make_unique<SilentBackend>();
  return backend;
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
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0 || Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 2048) != 0) {
    std::cerr << "vark: no sound device, playing silently: " << SDL_GetError() << "\n";
    return;
  }
  Mix_Init(MIX_INIT_MID | MIX_INIT_MP3);
  std::string font = FirstSoundFont();
  if (!font.empty()) Mix_SetSoundFonts(font.c_str());
  else std::cerr << "vark: no soundfont under /usr/share/sounds/sf2: music stays silent\n";
  SetAudioBackend(std::make_unique<MixerBackend>());
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
