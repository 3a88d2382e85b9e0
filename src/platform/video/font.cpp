#include "platform/video/font.h"

#include <SDL_ttf.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <map>
#include <tuple>

#include "platform/base/owned.h"
#include "platform/base/run_state.h"
#include "platform/base/utf8.h"
#include "platform/files/plain_file.h"
#include "platform/video/font_file.h"

namespace vark {
namespace {

// The run's fonts: the families that stand in for others, font files read whole by path
// (every size of a font is opened from the same bytes, so no font keeps a file open however
// many sizes the screens ask for), and open fonts by family, size in pixels and weight (a
// font that could not be found is remembered as empty, so it is looked for once). The open
// fonts go before the bytes they read from.
struct FontStore {
  std::map<std::string, FontSubstitute> substitutes;
  std::map<std::string, std::string> files;
  std::map<std::tuple<std::string, int, bool>, OwnedFont> fonts;
};

FontStore& Fonts() { return CurrentRun().Get<FontStore>(); }
std::map<std::string, FontSubstitute>& Substitutes() { return Fonts().substitutes; }

// The installed family that stands in for one a screen names (made bold when the
// substitute says so); a family without a substitute is looked up as it is.
std::string SubstituteFamily(const std::string& family, bool& bold) {
  auto it = Substitutes().find(family);
  if (it == Substitutes().end()) return family;
  bold = bold || it->second.bold;
  return it->second.family;
}

}  // namespace

void SetFontSubstitutes(std::map<std::string, FontSubstitute> substitutes) { Substitutes() = std::move(substitutes); }

namespace {

std::map<std::string, std::string>& FontFiles() { return Fonts().files; }
std::map<std::tuple<std::string, int, bool>, OwnedFont>& OpenFonts() { return Fonts().fonts; }

TTF_Font* OpenFontFile(const std::string& file, int pixels) {
  constexpr size_t kMaxFontFileBytes = size_t{64} << 20;
  auto [it, added] = FontFiles().try_emplace(file);
  if (added) {
    std::string problem;
    auto bytes = ReadPlainFile(file, kMaxFontFileBytes, problem);
    if (!bytes) std::cerr << "vark: cannot read the font " << file << ": " << problem << "\n";
    it->second = bytes.value_or("");
  }
  if (it->second.empty()) return nullptr;
  return TTF_OpenFontRW(SDL_RWFromConstMem(it->second.data(), static_cast<int>(it->second.size())), 1, pixels);
}

}  // namespace

TTF_Font* OpenFont(const FontSpec& wanted) {
  auto& cache = OpenFonts();
  if (!TTF_WasInit() && TTF_Init() != 0) {
    std::cerr << "vark: font system failed: " << TTF_GetError() << "\n";
    return nullptr;
  }
  // Points at 96 dots per inch, as the screens were designed.
  int pixels = std::max(6, static_cast<int>(std::lround(wanted.sizePt * 96.0 / 72.0)));
  auto key = std::make_tuple(wanted.family, pixels, wanted.bold);
  if (auto it = cache.find(key); it != cache.end()) return it->second.get();
  bool bold = wanted.bold;
  std::string family = SubstituteFamily(wanted.family, bold);
  std::string file = FindFontFile(family, bold);
  TTF_Font* font = file.empty() ? nullptr : OpenFontFile(file, pixels);
  if (!font) std::cerr << "vark: no font for \"" << wanted.family << "\": " << TTF_GetError() << "\n";
  cache[key] = OwnedFont(font);
  return font;
}

void CloseFonts() {
  OpenFonts().clear();
  FontFiles().clear();  // only once no font reads from them
}

FontSpec FitFont(FontSpec font, const std::string& text, int maxWidth) {
  constexpr double kSmallestPt = 6.0;
  for (int tries = 0; tries < 16 && !text.empty(); ++tries) {
    TTF_Font* f = OpenFont(font);
    int w = 0, h = 0;
    if (!f || TTF_SizeUTF8(f, text.c_str(), &w, &h) != 0 || w <= maxWidth || font.sizePt <= kSmallestPt) break;
    font.sizePt = std::max(kSmallestPt, font.sizePt * 0.9);
  }
  return font;
}

int TextWidth(const std::string& text, const FontSpec& font) {
  TTF_Font* f = text.empty() ? nullptr : OpenFont(font);
  int w = 0, h = 0;
  if (!f || TTF_SizeUTF8(f, text.c_str(), &w, &h) != 0) return 0;
  return w;
}

namespace {

// The text with its middle replaced by "…", keeping `kept` characters: the end gets the
// odd one, as it is the part that tells similar names apart.
std::string ElideMiddle(const std::string& text, size_t kept) {
  size_t length = Utf8Length(text);
  size_t head = kept / 2, tail = kept - head;
  return text.substr(0, Utf8ByteOffset(text, head)) + "…" + text.substr(Utf8ByteOffset(text, length - tail));
}

}  // namespace

FittedText FitText(const std::string& text, FontSpec font, int maxWidth, double smallestPt) {
  smallestPt = std::min(smallestPt, font.sizePt);
  while (TextWidth(text, font) > maxWidth && font.sizePt > smallestPt)
    font.sizePt = std::max(smallestPt, font.sizePt - 0.5);
  if (TextWidth(text, font) <= maxWidth) return {text, font};
  // The longest elision that fits, found by halving the range of kept characters.
  size_t fits = 0, tooLong = Utf8Length(text);
  while (tooLong - fits > 1) {
    size_t kept = (fits + tooLong) / 2;
    (TextWidth(ElideMiddle(text, kept), font) <= maxWidth ? fits : tooLong) = kept;
  }
  return {ElideMiddle(text, fits), font};
}

}  // namespace vark
