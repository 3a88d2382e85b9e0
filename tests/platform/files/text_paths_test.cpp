// The Windows-1251 codec, line splitting, numbers as text and the path resolver.
#include <gtest/gtest.h>

#include "platform/files/codepage.h"
#include "platform/base/number_text.h"
#include "platform/files/paths.h"
#include "platform/files/text_file.h"
#include "platform/base/utf8.h"
#include "support/driver.h"

namespace vark {
namespace {

TEST(Text, CodecRoundTripsEveryByteExceptTheUnassignedOne) {
  for (int b = 0; b < 256; ++b) {
    if (b == 0x98) continue;
    std::string byte(1, static_cast<char>(b));
    auto back = Utf8ToCp1251(Cp1251ToUtf8(byte));
    ASSERT_TRUE(back) << b;
    EXPECT_EQ(*back, byte) << b;
  }
  EXPECT_EQ(Cp1251ToUtf8("\xD1\xF7\xB8\xF2"), "Счёт");
  EXPECT_FALSE(Utf8ToCp1251("日本"));
  EXPECT_FALSE(Utf8ToCp1251("\xD0"));  // a cut-off sequence
}

TEST(Text, OverlongSurrogateAndOutOfRangeUtf8IsRefused) {
  for (const char* bad : {"a\xC0\xAF", "\xC0\x80", "\xC1\xBF", "\xE0\x80\xAF", "\xF0\x80\x80\xAF", "\xED\xA0\x80",
                          "\xF4\x90\x80\x80", "\xF8\x88\x80\x80\x80", "\x80"})
    EXPECT_FALSE(Utf8ToCp1251(bad)) << bad;
  EXPECT_EQ(Utf8ToCp1251("\xC2\xA0/\xD0\x81"), std::string("\xA0/\xA8"));  // shortest forms still pass
}

TEST(Text, PrintablePrefixKeepsLettersAndHidesControls) {
  EXPECT_EQ(PrintablePrefix("Вася.dat", 20), "Вася.dat");
  EXPECT_EQ(PrintablePrefix("a\x1b[2Jb\xC0\xAF\n", 20), "a?[2Jb???");
  EXPECT_EQ(PrintablePrefix("абвгд", 3), "абв...");
}

TEST(Text, LinesEndAtCrLfBareCrAndLf) {
  EXPECT_EQ(SplitTextLines("a\r\nb\rc\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitTextLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
  EXPECT_TRUE(SplitTextLines("").empty());
}

TEST(Text, NumbersAndLeadingNumbers) {
  EXPECT_EQ(Str(30), " 30");
  EXPECT_EQ(Str(0), " 0");
  EXPECT_EQ(Str(-5), "-5");
  EXPECT_EQ(LeadingNumber("3"), 3);
  EXPECT_EQ(LeadingNumber(" 3"), 3);
  EXPECT_EQ(LeadingNumber("3."), 3);
  EXPECT_EQ(LeadingNumber(""), 0);
  EXPECT_EQ(LeadingNumber("x2"), 0);
  EXPECT_EQ(DropLastChars("Вася.pro", 4), "Вася");
}

TEST(Paths, MixedCaseBackslashNamesFindTheFile) {
  TempFolder dir;
  dir.Write("Gfx/Title.GIF", "x");
  dir.Write("stone.jpg", "x");
  dir.Write("VarKers/Лиса.dat", "x");
  EXPECT_TRUE(FileExists("gfx\\title.gif"));
  EXPECT_TRUE(FileExists("GFX\\TITLE.gif"));
  EXPECT_TRUE(FileExists("Stone.jpg"));
  EXPECT_TRUE(FileExists("Varkers\\ЛИСА.dat"));
  EXPECT_FALSE(FileExists("Gfx\\missing.gif"));
  EXPECT_EQ(ResolvePath("gfx\\title.gif"), std::filesystem::path("Gfx/Title.GIF"));
  EXPECT_EQ(ListFiles("varkers", "*.DAT"), std::vector<std::string>{"Лиса.dat"});
}

}  // namespace
}  // namespace vark
