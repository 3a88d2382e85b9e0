// Which font file draws a family: on the desktop Debian's font files by their paths, else
// fontconfig's best match with Cyrillic glyphs, asked on a thread it may not block
// (font_file.cpp); in the browser, which has no fontconfig, the same Debian font files,
// shipped with the page at the same paths (font_file_web.cpp).
#pragma once

#include <string>

namespace vark {

// The path of the font file for a family in the weight asked for; empty when none is found.
std::string FindFontFile(const std::string& family, bool bold);

}  // namespace vark
