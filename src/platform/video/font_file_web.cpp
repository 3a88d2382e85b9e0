#include "platform/video/font_file.h"

#include <array>

namespace vark {
namespace {

struct KnownFont {
  const char* family;
  bool bold;
  const char* path;
};

// The files the page ships (scripts/web/page_data.sh), where Debian installs them. Any
// other family falls back to DejaVu Sans, as fontconfig would give a family it lacks.
constexpr std::array kKnownFonts = {
    KnownFont{"DejaVu Sans", false, "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"},
    KnownFont{"DejaVu Sans", true, "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"},
    KnownFont{"PT Sans Narrow", true, "/usr/share/fonts/truetype/paratype/PTN77F.ttf"},
};

}  // namespace

std::string FindFontFile(const std::string& family, bool bold) {
  for (const KnownFont& font : kKnownFonts)
    if (family == font.family && bold == font.bold) return font.path;
  return kKnownFonts[bold ? 1 : 0].path;
}

}  // namespace vark
