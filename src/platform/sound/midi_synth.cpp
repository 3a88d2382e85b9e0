#include "platform/sound/midi_synth.h"

#include <fluidsynth.h>

#include <algorithm>

#include "platform/base/owned.h"

namespace vark {

using OwnedSynthSettings = std::unique_ptr<fluid_settings_t, ReleaseWith<delete_fluid_settings>>;
using OwnedSynth = std::unique_ptr<fluid_synth_t, ReleaseWith<delete_fluid_synth>>;
using OwnedMidiPlayer = std::unique_ptr<fluid_player_t, ReleaseWith<delete_fluid_player>>;

struct SynthPool::Synth {
  OwnedSynthSettings settings;
  OwnedSynth synth;
};

struct MidiPlayback::Player {
  std::string bytes;  // FluidSynth reads the file from these while it plays
  OwnedMidiPlayer player;
};

namespace {

// FluidSynth would print its complaints about a damaged file; the game says one line itself.
void SilenceFluidSynth() {
  for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level) fluid_set_log_function(level, nullptr, nullptr);
}

}  // namespace

SynthPool::SynthPool(std::string soundFont) : font_(std::move(soundFont)) {}

SynthPool::~SynthPool() = default;

fluid_synth_t* SynthPool::Take(int rate) {
  std::lock_guard lock(mutex_);
  auto idle = idle_.find(rate);
  if (idle != idle_.end()) {
    busy_.push_back(std::move(idle->second));
    idle_.erase(idle);
    return busy_.back()->synth.get();
  }
  if (font_.empty()) return nullptr;
  SilenceFluidSynth();
  auto made = std::make_unique<Synth>();
  made->settings.reset(new_fluid_settings());
  fluid_settings_setnum(made->settings.get(), "synth.sample-rate", rate);
  fluid_settings_setnum(made->settings.get(), "synth.gain", 0.5);
  // Only the instruments a tune uses are read from the font, when it first uses them.
  fluid_settings_setint(made->settings.get(), "synth.dynamic-sample-loading", 1);
  made->synth.reset(new_fluid_synth(made->settings.get()));
  ++loads_;
  if (!made->synth || fluid_synth_sfload(made->synth.get(), font_.c_str(), 1) == FLUID_FAILED) {
    font_.clear();  // a font that does not load is not tried again
    return nullptr;
  }
  busy_.push_back(std::move(made));
  return busy_.back()->synth.get();
}

void SynthPool::Return(int rate, fluid_synth_t* synth) {
  fluid_synth_system_reset(synth);  // every note off, every channel as at the start
  std::lock_guard lock(mutex_);
  auto it = std::find_if(busy_.begin(), busy_.end(), [&](const auto& s) { return s->synth.get() == synth; });
  if (it == busy_.end()) return;
  idle_.emplace(rate, std::move(*it));
  busy_.erase(it);
}

int SynthPool::Loads() const {
  std::lock_guard lock(mutex_);
  return loads_;
}

MidiPlayback::MidiPlayback(std::shared_ptr<SynthPool> synths, int rate)
    : synths_(std::move(synths)), rate_(rate), player_(std::make_unique<Player>()) {}

MidiPlayback::~MidiPlayback() {
  player_.reset();  // the player goes before its synthesiser is reset and handed back
  if (synth_) synths_->Return(rate_, synth_);
}

std::unique_ptr<MidiPlayback> MidiPlayback::Start(std::string_view bytes, std::shared_ptr<SynthPool> synths, int rate,
                                                  std::string& problem) {
  if (!synths) {
    problem = "no soundfont to play MIDI with";
    return nullptr;
  }
  std::unique_ptr<MidiPlayback> playback(new MidiPlayback(std::move(synths), rate));
  playback->synth_ = playback->synths_->Take(rate);
  if (!playback->synth_) {
    problem = playback->synths_->Font().empty() ? "no soundfont to play MIDI with" : "the soundfont cannot be loaded";
    return nullptr;
  }
  Player& player = *playback->player_;
  player.bytes = bytes;
  player.player.reset(new_fluid_player(playback->synth_));
  bool ready = player.player &&
               fluid_player_add_mem(player.player.get(), player.bytes.data(), player.bytes.size()) == FLUID_OK &&
               fluid_player_play(player.player.get()) == FLUID_OK;
  if (ready) return playback;
  problem = "not a MIDI file FluidSynth can play";
  return nullptr;
}

bool MidiPlayback::Playing() const { return fluid_player_get_status(player_->player.get()) == FLUID_PLAYER_PLAYING; }

void MidiPlayback::Render(int16_t* stereo, int frames) {
  fluid_synth_write_s16(synth_, frames, stereo, 0, 2, stereo, 1, 2);
}

}  // namespace vark
