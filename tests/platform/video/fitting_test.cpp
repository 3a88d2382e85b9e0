// Fitting text into a width, keyboard letters by key position, and alphabetical order.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/input/mnemonic.h"
#include "platform/files/paths.h"
#include "platform/base/utf8.h"
#include "support/driver.h"

namespace vark {
namespace {

const FontSpec kBig{"Arial Black", 20, true};

std::string Repeat(const std::string& letter, int times) {
  std::string s;
  for (int i = 0; i < times; ++i) s += letter;
  return s;
}

int OpenFileCount() {
  return static_cast<int>(std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {}));
}

TEST(Fonts, EverySizeOfAFontOpensWithoutKeepingItsFileOpen) {
  Driver d;
  ASSERT_NE(OpenFont(FontSpec{"Arial", 9, false}), nullptr);
  int before = OpenFileCount();
  for (int size = 10; size < 40; ++size)
    for (const char* family : {"Arial", "Arial Black", "Impact"})
      EXPECT_NE(OpenFont(FontSpec{family, double(size), false}), nullptr);
  EXPECT_LE(OpenFileCount(), before);
}

TEST(FitText, ShortTextKeepsItsSizeLongTextShrinksToTheFloorThenLosesItsMiddle) {
  Driver d;  // fonts need the platform up
  for (const std::string letter : {"W", "Ж"}) {
    SCOPED_TRACE(letter);
    FittedText one = FitText(letter, kBig, 200, 10);
    EXPECT_EQ(one.text, letter);
    EXPECT_EQ(one.font.sizePt, kBig.sizePt);

    // A text a little too wide is shown whole, smaller.
    std::string medium = Repeat(letter, 8);
    int full = TextWidth(medium, kBig);
    FittedText shrunk = FitText(medium, kBig, full * 3 / 4, 10);
    EXPECT_EQ(shrunk.text, medium);
    EXPECT_LT(shrunk.font.sizePt, kBig.sizePt);
    EXPECT_GE(shrunk.font.sizePt, 10);
    EXPECT_LE(TextWidth(shrunk.text, shrunk.font), full * 3 / 4);

    // Far too wide: the floor size, the start and the end kept, "…" between.
    // Appended, not "A" + string: GCC 12 warns wrongly (-Wrestrict) about that once inlined.
    std::string longText = std::string("A").append(Repeat(letter, 62)).append("Z");
    FittedText elided = FitText(longText, kBig, 150, 10);
    EXPECT_EQ(elided.font.sizePt, 10);
    EXPECT_LE(TextWidth(elided.text, elided.font), 150);
    ASSERT_NE(elided.text.find("…"), std::string::npos);
    EXPECT_EQ(elided.text.substr(0, 1), "A");
    EXPECT_EQ(elided.text.substr(elided.text.size() - 1), "Z");
    // As much as fits: one more character would not.
    EXPECT_GT(Utf8Length(elided.text), 5u);
  }
}

TEST(FitText, LabelsFitOnlyWhenAskedAndFollowTheirWidth) {
  Driver d;
  struct Host : Form {
    Host() : Form("Host") {}
    Label& Name = AddLabel("Name", {0, 0, 1500, 375});
  } host;
  host.Name.SetFont(kBig);
  host.Name.SetCaption(Repeat("W", 40));
  EXPECT_EQ(host.Name.Shown().text, host.Name.Caption());  // cut at the box, as before
  host.Name.SetFitToWidth(9);
  FittedText shown = host.Name.Shown();
  EXPECT_LE(TextWidth(shown.text, shown.font), 100);
  EXPECT_NE(shown.text.find("…"), std::string::npos);
  host.Name.SetWidth(9000);
  EXPECT_EQ(host.Name.Shown().text, host.Name.Caption());
}

TEST(Mnemonics, LettersMapToTheirKeysInTheRussianAndTheUsLayouts) {
  const std::pair<const char*, SDL_Scancode> keys[] = {
      {"С", SDL_SCANCODE_C},                                   // "&Старт"
      {"с", SDL_SCANCODE_C},           {"П", SDL_SCANCODE_G},  // "&Профиль"
      {"И", SDL_SCANCODE_B},                                   // "&Интро"
      {"В", SDL_SCANCODE_D},                                   // "&Выход"
      {"и", SDL_SCANCODE_B},                                   // "Сохранить и &играть"
      {"Й", SDL_SCANCODE_Q},           {"я", SDL_SCANCODE_Z},
      {"Б", SDL_SCANCODE_COMMA},       {"ю", SDL_SCANCODE_PERIOD},
      {"Ж", SDL_SCANCODE_SEMICOLON},   {"э", SDL_SCANCODE_APOSTROPHE},
      {"Х", SDL_SCANCODE_LEFTBRACKET}, {"ъ", SDL_SCANCODE_RIGHTBRACKET},
      {"Ё", SDL_SCANCODE_GRAVE},       {"ё", SDL_SCANCODE_GRAVE},
      {"a", SDL_SCANCODE_A},           {"Z", SDL_SCANCODE_Z},
  };
  for (auto [letter, key] : keys) EXPECT_EQ(LetterKey(letter), key) << letter;
  for (const char* none : {"", "1", " ", "€", "ab"}) EXPECT_EQ(LetterKey(none), SDL_SCANCODE_UNKNOWN) << none;
}

TEST(Mnemonics, CaptionLetterIsTheOneAfterTheAmpersand) {
  EXPECT_EQ(MnemonicLetter("&Старт"), "С");
  EXPECT_EQ(MnemonicLetter("Сохранить и &играть"), "и");
  EXPECT_EQ(MnemonicLetter("Save && &quit"), "q");
  EXPECT_EQ(MnemonicLetter("Отмена"), "");
  EXPECT_EQ(MnemonicLetter("Trailing&"), "");
}

TEST(AlphabeticalOrder, RussianOrderWithYoAsYeAndWithoutLetterCase) {
  std::vector<std::string> names = {"Тень.dat", "Ёжик.dat", "альфа.dat", "Ель.dat", "ежик.dat",
                                    "Bob.dat",  "alex.dat", "Яша.dat",   "Жук.dat", "ёж.dat"};
  std::sort(names.begin(), names.end(), AlphabeticalLess);
  EXPECT_EQ(names, (std::vector<std::string>{"alex.dat", "Bob.dat", "альфа.dat", "ёж.dat", "ежик.dat", "Ёжик.dat",
                                             "Ель.dat", "Жук.dat", "Тень.dat", "Яша.dat"}));
  EXPECT_FALSE(AlphabeticalLess("Тень", "Тень"));
}

}  // namespace
}  // namespace vark
