// Feeds arbitrary bytes to the sound decoders (WAVE, MIDI through FluidSynth, MP3 through
// mpg123) as the game decodes a file, with short caps so that every input finishes well
// within libFuzzer's time limit. libFuzzer reports crashes, slow inputs and oversized
// allocations.
#include <fluidsynth.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/sound_decode.h"

namespace {

constexpr char kSoundFont[] = "/usr/share/sounds/sf2/TimGM6mb.sf2";

}  // namespace

// FluidSynth shares a soundfont's samples between synthesisers while one of them holds it.
// A synthesiser made here and kept for the whole run holds the soundfont, so each input's
// own synthesiser finds the samples loaded instead of reading them all from the file again,
// and the run spends its time on the inputs.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  static fluid_settings_t* const settings = new_fluid_settings();
  static fluid_synth_t* const keeper = new_fluid_synth(settings);
  fluid_synth_sfload(keeper, kSoundFont, 0);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::atomic<bool> never{false};
  vark::SoundLimits limits;
  limits.maxEffectSeconds = 1;
  limits.maxTuneSeconds = 1;
  limits.maxDecodeSeconds = 0.1;
  vark::DecodeSoundBytes(std::string_view(reinterpret_cast<const char*>(data), size), vark::PcmFormat{22050, 2},
                         kSoundFont, never, limits);
  return 0;
}
