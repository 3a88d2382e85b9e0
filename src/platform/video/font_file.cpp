#include "platform/video/font_file.h"

#include <fontconfig/fontconfig.h>

#include "platform/base/owned.h"

namespace vark {
namespace {

using OwnedPattern = std::unique_ptr<FcPattern, ReleaseWith<FcPatternDestroy>>;
using OwnedCharSet = std::unique_ptr<FcCharSet, ReleaseWith<FcCharSetDestroy>>;

}  // namespace

std::string FindFontFile(const std::string& family, bool bold) {
  FcInit();
  OwnedPattern pattern(FcPatternCreate());
  FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  OwnedCharSet cyrillic(FcCharSetCreate());
  FcCharSetAddChar(cyrillic.get(), 0x0416);  // Ж: insist on Cyrillic coverage
  FcPatternAddCharSet(pattern.get(), FC_CHARSET, cyrillic.get());
  FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  FcResult result;
  OwnedPattern match(FcFontMatch(nullptr, pattern.get(), &result));
  FcChar8* path = nullptr;
  if (!match || FcPatternGetString(match.get(), FC_FILE, 0, &path) != FcResultMatch) return "";
  return reinterpret_cast<char*>(path);
}

}  // namespace vark
