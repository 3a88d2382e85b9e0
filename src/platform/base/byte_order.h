// Whole numbers kept in bytes: least significant byte first (WAV, BMP, ICO, GIF) or most
// significant first (PNG, JPEG). Readers take `count` bytes (1 to 4) from `at`, which the
// caller has checked lie inside `bytes`.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vark {

inline uint32_t ReadLittleEndian(std::string_view bytes, size_t at, int count) {
  uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

inline uint32_t ReadBigEndian(std::string_view bytes, size_t at, int count) {
  uint32_t value = 0;
  for (int i = 0; i < count; ++i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

inline void PutLittleEndian(std::string& out, uint32_t value, int count) {
  for (int i = 0; i < count; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace vark
