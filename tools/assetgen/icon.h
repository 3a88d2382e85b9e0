// The desktop icon of the game, drawn at the sizes a desktop theme asks for.
#pragma once

#include <filesystem>

namespace assetgen {

// Writes <root>/<N>x<N>/apps/vark.png for N = 32, 64, 128 and 256 (the hicolor theme's
// layout). False when a file cannot be written.
bool WriteIcons(const std::filesystem::path& root);

}  // namespace assetgen
