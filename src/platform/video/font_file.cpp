#include "platform/video/font_file.h"

#include <fontconfig/fontconfig.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <iostream>
#include <memory>
#include <thread>

#include "platform/base/owned.h"
#include "platform/base/run_state.h"

namespace vark {
namespace {

using OwnedPattern = std::unique_ptr<FcPattern, ReleaseWith<FcPatternDestroy>>;
using OwnedCharSet = std::unique_ptr<FcCharSet, ReleaseWith<FcCharSetDestroy>>;

// Whether fontconfig's scan blocked once this run: it is not asked again.
struct FontScan {
  bool givenUp = false;
};

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
  bool& givenUp = CurrentRun().Get<FontScan>().givenUp;
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

}  // namespace

std::string FindFontFile(const std::string& family, bool bold) {
  std::string known = KnownFontFile(family, bold);
  return known.empty() ? MatchFontFileInTime(family, bold) : known;
}

}  // namespace vark
