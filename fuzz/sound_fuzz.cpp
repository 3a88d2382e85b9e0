// Feeds arbitrary bytes to the sound decoders (WAVE, MIDI through FluidSynth, MP3 through
// mpg123) as the game decodes a file, with short caps so that every input finishes well
// within libFuzzer's time limit. libFuzzer reports crashes, slow inputs and oversized
// allocations.
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/sound/sound_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::atomic<bool> never{false};
  vark::SoundLimits limits;
  limits.maxEffectSeconds = 1;
  limits.maxTuneSeconds = 1;
  limits.maxCpuPerSoundSecond = 0.1;
  vark::DecodeSoundBytes(std::string_view(reinterpret_cast<const char*>(data), size), vark::PcmFormat{22050, 2},
                         "/usr/share/sounds/sf2/TimGM6mb.sf2", never, limits);
  return 0;
}
