// Audio helpers shared by the sound effects and the intro music: 16-bit PCM WAV encoding.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

// A RIFF WAVE file of signed 16-bit samples (interleaved when `channels` > 1).
std::string EncodeWav(const std::vector<int16_t>& samples, int channels, int rate);

}  // namespace assetgen
