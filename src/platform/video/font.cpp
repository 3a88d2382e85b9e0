#include "platform/video/font.h"

#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <future>
#include <iostream>
#include <map>
#include <memory>
#include <thread>
#include <tuple>

#include "platform/base/owned.h"
#include "platform/base/run_state.h"
#include "platform/base/utf8.h"
#include "platform/files/plain_file.h"

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
  bool fontconfigGivenUp = false;  // its scan blocked once: not asked again
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

// Where Debian's font packages put the families a program is likely to name
// (fonts-dejavu-core, fonts-paratype): found by path, they need no font scan at all.
std::string KnownFontFile(const std::string& family, bool bold) {
  static constexpr struct {
    const char* family;
    bool bold;
    const char* file;
  } kKnown[] = {
      {"DejaVu Sans", false, "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"},
      {"DejaVu Sans", true, "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"},
      {"PT Sans Narrow", false, "/usr/share/fonts/truetype/paratype/PTN57F.ttf"},
      {"PT Sans Narrow", true, "/usr/share/fonts/truetype/paratype/PTN77F.ttf"},
      {"PT Sans", false, "/usr/share/fonts/truetype/paratype/PTS55F.ttf"},
      {"PT Sans", true, "/usr/share/fonts/truetype/paratype/PTS75F.ttf"},
  };
  for (const auto& known : kKnown) {
    std::error_code ec;
    if (family == known.family && bold == known.bold && std::filesystem::is_regular_file(known.file, ec))
      return known.file;
  }
  return "";
}

// fontconfig's answer for a family with Cyrillic letters.
std::string MatchFontFile(const std::string& family, bool bold) {
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

// fontconfig's first match scans every font folder, the player's too, where a named pipe
// under a font's name or a dead network folder would block it for good. So it runs on a
// thread of its own, and the game waits a few seconds at most: when it has not answered by
// then, it is given up for the run (the thread is left to itself) and text goes without.
std::string MatchFontFileInTime(const std::string& family, bool bold) {
  constexpr auto kLongestWait = std::chrono::seconds(5);
  bool& givenUp = Fonts().fontconfigGivenUp;
  if (givenUp) return "";
  auto match =
      std::make_shared<std::packaged_task<std::string()>>([family, bold] { return MatchFontFile(family, bold); });
  std::future<std::string> answer = match->get_future();
  std::thread([match] { (*match)(); }).detach();
  if (answer.wait_for(kLongestWait) == std::future_status::ready) return answer.get();
  givenUp = true;
  std::cerr << "vark: the font scan did not answer within 5 s (a font folder holds something that blocks it); "
               "text is shown only in fonts found by path\n";
  return "";
}

std::string FindFontFile(const std::string& family, bool bold) {
  std::string known = KnownFontFile(family, bold);
  return known.empty() ? MatchFontFileInTime(family, bold) : known;
}

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
