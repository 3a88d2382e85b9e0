// webtunes SOUNDFONT RATE IN.mid OUT.wav
//
// Decodes a MIDI tune exactly as the desktop game does (FluidSynth with the given
// soundfont, levelled to the game's tune loudness, trailing silence cut) at the game's
// sound device rate, and writes the samples as a 16-bit stereo WAV file, so the web page,
// which has no FluidSynth, can ship the tune as sound it plays.
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "platform/sound/sound_decode.h"

namespace {

void PutLittle(std::ofstream& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((value >> (8 * i)) & 0xFF));
}

bool WriteWave(const std::string& path, const vark::Samples& samples, const vark::PcmFormat& format) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  auto dataBytes = static_cast<uint32_t>(samples.size() * sizeof(int16_t));
  auto channels = static_cast<uint32_t>(format.channels);
  auto rate = static_cast<uint32_t>(format.rate);
  out.write("RIFF", 4);
  PutLittle(out, 36 + dataBytes, 4);
  out.write("WAVEfmt ", 8);
  PutLittle(out, 16, 4);
  PutLittle(out, 1, 2);  // plain PCM
  PutLittle(out, channels, 2);
  PutLittle(out, rate, 4);
  PutLittle(out, rate * channels * 2, 4);
  PutLittle(out, channels * 2, 2);
  PutLittle(out, 16, 2);
  out.write("data", 4);
  PutLittle(out, dataBytes, 4);
  for (int16_t sample : samples) PutLittle(out, static_cast<uint16_t>(sample), 2);
  out.close();
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::cerr << "usage: webtunes SOUNDFONT RATE IN.mid OUT.wav\n";
    return 2;
  }
  vark::PcmFormat format{std::atoi(argv[2]), 2};
  if (format.rate < 8000 || format.rate > 48000) {
    std::cerr << "webtunes: the rate must be between 8000 and 48000, not " << argv[2] << "\n";
    return 2;
  }
  std::error_code error;
  if (!std::filesystem::is_regular_file(argv[1], error)) {
    std::cerr << "webtunes: no soundfont at " << argv[1] << "\n";
    return 1;
  }
  std::atomic<bool> cancelled{false};
  vark::DecodedSound tune = vark::DecodeSoundFile(argv[3], format, argv[1], cancelled);
  if (tune.samples.empty()) {
    std::cerr << "webtunes: " << argv[3] << ": " << tune.problem << "\n";
    return 1;
  }
  if (!tune.problem.empty()) std::cerr << "webtunes: " << argv[3] << ": " << tune.problem << " (kept what decoded)\n";
  if (!WriteWave(argv[4], tune.samples, format)) {
    std::cerr << "webtunes: cannot write " << argv[4] << "\n";
    return 1;
  }
  return 0;
}
