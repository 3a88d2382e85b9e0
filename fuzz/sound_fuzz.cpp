// Feeds arbitrary bytes to the sound decoders (WAVE, MIDI through FluidSynth, MP3 through
// mpg123) as the game decodes a file, with short caps so that every input finishes well
// within libFuzzer's time limit. libFuzzer reports crashes, slow inputs and oversized
// allocations.
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "platform/sound/sound_decode.h"

namespace {

std::string soundFont;

// Little-endian fields and RIFF chunks of a SoundFont 2 file.
std::string Le(uint32_t value, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
  return out;
}
std::string Zeros(size_t size) { return std::string(size, '\0'); }
std::string Name(std::string_view name, size_t size) { return std::string(name).append(size - name.size(), '\0'); }
std::string Chunk(std::string_view id, const std::string& body) {
  return std::string(id) + Le(static_cast<uint32_t>(body.size()), 4) + body;
}
std::string List(std::string_view type, const std::string& chunks) { return Chunk("LIST", std::string(type) + chunks); }

// The smallest soundfont FluidSynth plays every MIDI program with: one preset of one
// instrument of one short sample. A general MIDI soundfont takes FluidSynth far longer to
// read than a fuzz input takes to play, and the decoders read the soundfont for every
// input; with this one the run spends its time on the inputs.
std::string TinySoundFont() {
  constexpr uint32_t kFrames = 256, kPadding = 46;  // the format wants 46 silent frames after a sample
  std::string samples;
  for (uint32_t i = 0; i < kFrames + kPadding; ++i) samples += Le(i < kFrames ? (i % 32) * 1024 : 0, 2);
  std::string presets = Name("Tone", 20) + Le(0, 2) + Le(0, 2) + Le(0, 2) + Zeros(12) +  //
                        Name("EOP", 20) + Le(0, 2) + Le(0, 2) + Le(1, 2) + Zeros(12);
  std::string bags = Le(0, 4) + Le(1, 4);
  std::string noModulator = Zeros(10);
  std::string instrumentZone = Le(41, 2) + Le(0, 2) + Le(0, 4);  // generator "instrument" 0, then the end
  std::string sampleZone = Le(53, 2) + Le(0, 2) + Le(0, 4);      // generator "sampleID" 0, then the end
  std::string instruments = Name("Tone", 20) + Le(0, 2) + Name("EOI", 20) + Le(1, 2);
  std::string sampleHeaders = Name("Saw", 20) + Le(0, 4) + Le(kFrames, 4) + Le(8, 4) + Le(kFrames - 8, 4) +
                              Le(22050, 4) + Le(60, 1) + Le(0, 1) + Le(0, 2) + Le(1, 2) + Name("EOS", 46);
  std::string info =
      Chunk("ifil", Le(2, 2) + Le(1, 2)) + Chunk("isng", Name("EMU8000", 8)) + Chunk("INAM", Name("Fuzz", 6));
  std::string pdta = Chunk("phdr", presets) + Chunk("pbag", bags) + Chunk("pmod", noModulator) +
                     Chunk("pgen", instrumentZone) + Chunk("inst", instruments) + Chunk("ibag", bags) +
                     Chunk("imod", noModulator) + Chunk("igen", sampleZone) + Chunk("shdr", sampleHeaders);
  return Chunk("RIFF", "sfbk" + List("INFO", info) + List("sdta", Chunk("smpl", samples)) + List("pdta", pdta));
}

}  // namespace

// Writes the tiny soundfont once, into a folder of the run's own below $TMPDIR, removed at exit.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::string folder = (std::filesystem::temp_directory_path() / "sound_fuzz.XXXXXX").string();
  if (!mkdtemp(folder.data())) return 1;
  soundFont = folder + "/tiny.sf2";
  std::ofstream(soundFont, std::ios::binary) << TinySoundFont();
  std::atexit([] { std::filesystem::remove_all(std::filesystem::path(soundFont).parent_path()); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::atomic<bool> never{false};
  vark::SoundLimits limits;
  limits.maxEffectSeconds = 1;
  // FluidSynth parses the whole MIDI file before its first note, and the cut at the cap is
  // the same code at any length: a quarter second of tune loses only the playing of later
  // events, and leaves time for four times as many inputs.
  limits.maxTuneSeconds = 0.25;
  limits.maxDecodeSeconds = 0.1;
  vark::DecodeSoundBytes(std::string_view(reinterpret_cast<const char*>(data), size), vark::PcmFormat{22050, 2},
                         soundFont, never, limits);
  return 0;
}
