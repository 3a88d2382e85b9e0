// The one way picture files become surfaces. Picture files are content a player may swap
// (the faces folder above all), so nothing here trusts them: the read is capped, the format
// is recognised from the bytes, the size the header declares is checked before any pixel is
// decoded, and every decoder stops cleanly on damaged data.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

struct SDL_Surface;

namespace vark {

// No picture of this game comes near these; anything larger is refused unread.
inline constexpr size_t kMaxPictureFileBytes = size_t{4} << 20;
inline constexpr int kMaxPictureSide = 4096;
inline constexpr long long kMaxPicturePixels = 4LL << 20;

// The whole file, or nullopt with the reason when it is missing, not a plain file or
// larger than kMaxPictureFileBytes (then nothing of it is read).
std::optional<std::string> ReadPictureFile(const std::filesystem::path& path, std::string& problem);

// Decodes PNG, GIF (its first image), JPEG or BMP bytes into a new surface in the file's own
// pixel layout: palettised pictures stay 8-bit with their palette, others become 32-bit with
// alpha (JPEG and BMP keep what SDL gives them). nullptr with the reason on any failure.
SDL_Surface* DecodePicture(std::string_view bytes, std::string& problem);

}  // namespace vark
