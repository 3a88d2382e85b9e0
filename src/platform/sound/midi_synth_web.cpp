#include "platform/sound/midi_synth.h"

namespace vark {

// The page ships no synthesiser: its tunes are MP3 files under the MIDI names, and a MIDI
// file is refused with a reason, as on a desktop without a soundfont.
struct SynthPool::Synth {};
struct MidiPlayback::Player {};

SynthPool::SynthPool(std::string soundFont) : font_(std::move(soundFont)) {}
SynthPool::~SynthPool() = default;
_fluid_synth_t* SynthPool::Take(int) { return nullptr; }
void SynthPool::Return(int, _fluid_synth_t*) {}
int SynthPool::Loads() const { return 0; }

MidiPlayback::~MidiPlayback() = default;

std::unique_ptr<MidiPlayback> MidiPlayback::Start(std::string_view, std::shared_ptr<SynthPool>, int,
                                                  std::string& problem) {
  problem = "the browser page plays no MIDI (its tunes are MP3)";
  return nullptr;
}

bool MidiPlayback::Playing() const { return false; }
void MidiPlayback::Render(int16_t*, int) {}

}  // namespace vark
