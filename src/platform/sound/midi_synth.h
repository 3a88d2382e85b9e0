// MIDI tunes synthesised with a soundfont, block by block: FluidSynth on the desktop
// (midi_synth.cpp). The browser page has no synthesiser (its tunes ship as MP3 under the
// same names), so there every MIDI file is refused with a reason (midi_synth_web.cpp).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

struct _fluid_synth_t;

namespace vark {

// One soundfont and the synthesisers that play it. Each synthesiser loads the font once,
// the first time it is needed, and is used again for every later tune at its rate; a
// synthesiser busy with one tune is not handed to another. Thread-safe.
class SynthPool {
 public:
  explicit SynthPool(std::string soundFont);
  ~SynthPool();
  SynthPool(const SynthPool&) = delete;
  SynthPool& operator=(const SynthPool&) = delete;

  const std::string& Font() const { return font_; }
  // A synthesiser at `rate` with the font loaded and silent, or null when the font cannot
  // be loaded. Give it back with Return.
  _fluid_synth_t* Take(int rate);
  void Return(int rate, _fluid_synth_t* synth);
  // How many times the font was loaded (each synthesiser loads it once).
  int Loads() const;

 private:
  struct Synth;
  std::string font_;
  mutable std::mutex mutex_;
  std::multimap<int, std::unique_ptr<Synth>> idle_;
  std::vector<std::unique_ptr<Synth>> busy_;
  int loads_ = 0;
};

// One MIDI file playing into a synthesiser taken from the pool (given back at the end).
class MidiPlayback {
 public:
  // The playback of a checked MIDI file's bytes at `rate`, or null with `problem` said.
  static std::unique_ptr<MidiPlayback> Start(std::string_view bytes, std::shared_ptr<SynthPool> synths, int rate,
                                             std::string& problem);
  ~MidiPlayback();
  MidiPlayback(const MidiPlayback&) = delete;
  MidiPlayback& operator=(const MidiPlayback&) = delete;

  // Whether the file has events still to play (notes may ring on after it has not).
  bool Playing() const;
  // Renders `frames` interleaved stereo frames.
  void Render(int16_t* stereo, int frames);

 private:
  struct Player;
  MidiPlayback(std::shared_ptr<SynthPool> synths, int rate);
  std::shared_ptr<SynthPool> synths_;
  int rate_;
  _fluid_synth_t* synth_ = nullptr;
  std::unique_ptr<Player> player_;
};

}  // namespace vark
