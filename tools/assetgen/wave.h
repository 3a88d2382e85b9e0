// Audio helpers shared by the sound effects and the intro music: 16-bit PCM
// WAV encoding and little-endian byte writing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

// Appends `value` as `bytes` little-endian bytes.
void PutLittleEndian(std::string& out, uint32_t value, int bytes);

// A RIFF WAVE file of signed 16-bit samples (interleaved when `channels` > 1).
std::string EncodeWav(const std::vector<int16_t>& samples, int channels, int rate);

}  // namespace assetgen
