// How the menu's panels and the episode screen look and answer the hand: names that fit,
// panels that cover, button looks, the title's colours, keyboard letters, name matching
// without letter case and the alphabetical lists.
#include <filesystem>
#include <set>

#include "episodes/form3.h"
#include "platform/files/codepage.h"
#include "platform/video/font.h"
#include "platform/forms/screen.h"
#include "platform/base/utf8.h"
#include "profiles/menu_fixture.h"

namespace vark {
namespace {

using MenuLook = MenuTest;

uint32_t Rgb(uint8_t r, uint8_t g, uint8_t b) { return (r << 16) | (g << 8) | b; }

std::string Repeat(const std::string& letter, int times) {
  std::string s;
  for (int i = 0; i < times; ++i) s += letter;
  return s;
}

std::string LastChar(const std::string& s) { return s.substr(Utf8ByteOffset(s, Utf8Length(s) - 1)); }

// The label shows `caption` inside its box at `smallest` points or more: whole, or with
// its middle elided and its first and last characters kept.
void ExpectFits(const Label& label, const std::string& caption, double smallest) {
  SCOPED_TRACE(label.Name() + " showing \"" + caption + "\"");
  EXPECT_EQ(label.Caption(), caption);
  FittedText shown = label.Shown();
  EXPECT_LE(TextWidth(shown.text, shown.font), label.Width() / 15 - 2 * label.FitMargin());
  EXPECT_GE(shown.font.sizePt, smallest);
  EXPECT_EQ(shown.text.substr(0, Utf8ByteOffset(shown.text, 1)), caption.substr(0, Utf8ByteOffset(caption, 1)));
  EXPECT_EQ(LastChar(shown.text), LastChar(caption));
  if (shown.text != caption) {
    EXPECT_NE(shown.text.find("…"), std::string::npos);
    EXPECT_EQ(shown.font.sizePt, smallest);  // elided only once the floor is reached
  }
}

std::set<std::string> FilesIn(const std::filesystem::path& folder, const std::string& extension) {
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder))
    if (e.path().extension() == extension) names.insert(e.path().filename().string());
  return names;
}

class NameFits : public MenuTest, public testing::WithParamInterface<std::string> {};

TEST_P(NameFits, EveryPlaceShowsTheNameWithinItsBoxAndTheTypingMarkStays) {
  const std::string name = GetParam();
  WriteFaces(2);
  Form1& m = ChooseFace(0);
  TypeName(m, name);
  ExpectFits(m.txt2, name + "_", 12);
  ExpectFits(m.txt3, name + "_", 12);
  if (Utf8Length(name) == 1) {
    EXPECT_EQ(m.txt2.Shown().font.sizePt, 28);  // short names stay large
  }

  d.Click(m.BtnEnh2);
  Form3& episodes = Forms::Get<Form3>();
  ExpectFits(episodes.Label2, name, 8);
  if (Utf8Length(name) <= 21) {
    EXPECT_EQ(episodes.Label2.Shown().text, name) << "a first name and surname show whole";
    EXPECT_EQ(episodes.Label2.Shown().font.sizePt, episodes.Label2.Font().sizePt) << "at the normal size";
  }
  // The name's row lies between the episodes' names and the buttons, clear of both.
  EXPECT_GE(episodes.Label2.Top(), episodes.Label5.Top() + episodes.Label5.Height());
  EXPECT_LE(episodes.Label2.Top() + episodes.Label2.Height(), episodes.BtnEnh1.Top());

  d.Click(episodes.BtnEnh5);
  Form1& menu = Forms::Get<Form1>();
  d.Advance(120);
  d.Click(menu.Btn4);
  ExpectFits(*menu.Label4[0], name, 7);
  d.Click(menu.BtnEnh4);

  d.Click(menu.Btn1);
  d.MouseDown(*menu.Varker[1]);
  d.Click(menu.BtnAccept);
  TypeName(menu, name);
  d.Click(menu.BtnEnh2);
  ASSERT_TRUE(menu.Picture4.Visible());
  ExpectFits(menu.Label14, name, 11);
  EXPECT_GE(menu.Label14.FitMargin(), 8) << "the name in the question stays inside the panel's frame";
}

// Test names say the alphabet and the length ("Cyrillic20"), not the bytes of the name.
std::string NameKind(const testing::TestParamInfo<std::string>& info) {
  const bool latin = static_cast<unsigned char>(info.param[0]) < 0x80;
  return (latin ? "Latin" : "Cyrillic") + std::to_string(Utf8Length(info.param));
}

// The long names are appended, not "A" + string: GCC 12 warns wrongly (-Wrestrict) about
// that once inlined.
INSTANTIATE_TEST_SUITE_P(Letters, NameFits,
                         testing::Values("Ж", "W", Repeat("Ж", 20), Repeat("W", 20),
                                         Repeat("Ж", 10).append(" ").append(Repeat("Ш", 10)),
                                         Repeat("W", 10).append(" ").append(Repeat("M", 10)),
                                         std::string("Щ").append(Repeat("Ж", 62)).append("Ю"),
                                         std::string("A").append(Repeat("W", 62)).append("Z")),
                         NameKind);

TEST_F(MenuLook, FaceNamesFitTheirSlotsWithoutTouchingAndSortInRussianOrder) {
  for (const char* face : {"Профессор", "Снайпер", "Тень", "Ёжик", "Ель", "альфа", "WWWWWWWWWW", "Жук"})
    dir.WritePicture(std::string("VarKers/") + face + ".dat", 8, 8, 90, 90, 90);
  Form1& m = OpenFaceChoice();
  std::vector<std::string> shown;
  for (int i = 0; i < 8; ++i) shown.push_back(m.NameVarker[i]->Caption());
  EXPECT_EQ(shown,
            (std::vector<std::string>{"WWWWWWWWWW", "альфа", "Ёжик", "Ель", "Жук", "Профессор", "Снайпер", "Тень"}));
  for (int i = 0; i < 8; ++i) ExpectFits(*m.NameVarker[i], shown[i], 6);
  for (int i = 0; i + 1 < Form1::kFaceSlots; ++i) {
    if (i % 5 == 4) continue;  // the last of its row
    const Label& left = *m.NameVarker[i];
    EXPECT_LT(left.Left() + left.Width(), m.NameVarker[i + 1]->Left()) << "names " << i << " and " << i + 1;
  }
}

TEST_F(MenuLook, ProfileListIsInRussianOrderWithoutRegardToCase) {
  for (const char* name : {"Тень", "Ёжик", "алекс", "Ель", "Bob"}) WriteProfileFile(name, "Face01.dat\r\n");
  Form1& m = ReadyMenu();
  d.Click(m.Btn4);
  auto slots = [&] {
    return std::vector<std::string>{m.Label4[0]->Caption(), m.Label4[1]->Caption(), m.Label4[2]->Caption()};
  };
  EXPECT_EQ(slots(), (std::vector<std::string>{"Bob", "алекс", "Ёжик"}));
  d.Click(m.BtnDn);
  d.Click(m.BtnDn);
  EXPECT_EQ(slots(), (std::vector<std::string>{"Ёжик", "Ель", "Тень"}));
}

TEST_F(MenuLook, ANameInAnotherLetterCaseAsksAndOkReplacesThatFile) {
  WriteFaces(2);
  const std::string old = "Old.dat\r\n 30\r\nx\r\ny\r\nz\r\n";
  WriteProfileFile("Alex", old);
  WriteProfileFile("Ёжик", old);
  Form1& m = ChooseFace(1);
  TypeName(m, "alex");
  d.Click(m.BtnEnh2);
  ASSERT_TRUE(m.Picture4.Visible());
  d.Click(m.BtnCan);
  EXPECT_EQ(FilesIn(dir.Path(), ".pro"), (std::set<std::string>{"Alex.pro", "Ёжик.pro"}));
  EXPECT_EQ(ReadBytes("Alex.pro"), old);

  d.Click(m.BtnEnh2);
  d.Click(m.BtnRes);
  EXPECT_EQ(FilesIn(dir.Path(), ".pro"), (std::set<std::string>{"alex.pro", "Ёжик.pro"}));
  EXPECT_EQ(ReadBytes("alex.pro"), *Utf8ToCp1251("Face02.dat\r\nФраг\r\nФраг\r\nФраг\r\nФраг\r\n"));
  EXPECT_EQ(Forms::Get<Stack>().Profile, "alex");

  // Cyrillic letters match without case too.
  d.Click(Forms::Get<Form3>().BtnEnh5);
  Form1& again = Forms::Get<Form1>();
  d.Advance(120);
  d.Click(again.Btn1);
  d.MouseDown(*again.Varker[0]);
  d.Click(again.BtnAccept);
  TypeName(again, "ёЖИК");
  d.Click(again.BtnEnh2);
  EXPECT_TRUE(again.Picture4.Visible());
}

TEST_F(MenuLook, ACoveredPanelStaysOpenButShowsNoStripAndTakesNoClicks) {
  dir.WritePicture("Texture0.jpg", 64, 48, 0, 0, 90);
  WriteFaces(2);
  const uint32_t background = Rgb(0, 0, 90);
  Form1& m = ChooseFace(0);
  // Between the face choice's left edge (112 px) and the name entry's (120 px).
  const int stripX = 115, stripY = 300;
  EXPECT_TRUE(m.StartGame.Visible());
  EXPECT_EQ(d.Pixel(stripX, stripY), background);
  EXPECT_EQ(Screen::Get().ControlAt(stripX, stripY, nullptr), &m.Texture);

  TypeName(m, "Face01");
  WriteProfileFile("Face01", "Face01.dat\r\n");
  d.Click(m.BtnEnh2);
  ASSERT_TRUE(m.Picture4.Visible());
  // Above the question (top 144 px) the name entry (top 128 px) would show its title.
  const int aboveX = 250, aboveY = 136;
  EXPECT_TRUE(m.Entering.Visible());
  EXPECT_EQ(d.Pixel(aboveX, aboveY), background);
  EXPECT_EQ(d.Pixel(469, stripY), background);  // the face choice's right strip (465 to 473 px)

  d.Click(m.BtnCan);  // the name entry comes back whole
  EXPECT_NE(d.Pixel(aboveX, aboveY), background);
  d.Click(m.BtnEnh1);  // and then the face choice
  EXPECT_NE(d.Pixel(stripX, stripY), background);
  EXPECT_EQ(Screen::Get().ControlAt(stripX, stripY, nullptr), &m.StartGame);
}

// A pixel of a button's face beside its caption.
SDL_Point FacePoint(const Control& b) {
  SDL_Rect box = b.ScreenBox();
  return {box.x + 4, box.y + box.h / 2};
}

TEST_F(MenuLook, ClickableButtonsLightUpAndPressInDisabledOnesDoNot) {
  WriteFaces(2);
  Form1& m = OpenFaceChoice();
  auto looks = [&](BtnEnh& b) {
    SDL_Point p = FacePoint(b), middle = Driver::Middle(b);
    d.MoveTo(5, 470);
    uint32_t normal = d.Pixel(p.x, p.y);
    d.MoveTo(middle.x, middle.y);
    uint32_t hovered = d.Pixel(p.x, p.y);
    d.MouseDownAt(middle.x, middle.y);
    uint32_t pressed = d.Pixel(p.x, p.y);
    d.MoveTo(5, 470);  // held, but off the button: it springs back
    uint32_t left = d.Pixel(p.x, p.y);
    d.MouseUpAt(5, 470);
    return std::array<uint32_t, 4>{normal, hovered, pressed, left};
  };
  for (BtnEnh* b : {&m.BtnCancel, &m.BtnDn2}) {
    SCOPED_TRACE(b->Name());
    if (b == &m.BtnDn2) b->SetEnabled(true);  // scrolling needs more faces; the look does not
    auto [normal, hovered, pressed, left] = looks(*b);
    EXPECT_NE(hovered, normal);
    EXPECT_NE(pressed, normal);
    EXPECT_NE(pressed, hovered);
    EXPECT_EQ(left, normal);
  }
  EXPECT_TRUE(m.StartGame.Visible());  // no click happened on the way

  ASSERT_FALSE(m.BtnUp2.Enabled());
  auto [normal, hovered, pressed, left] = looks(m.BtnUp2);
  EXPECT_EQ(hovered, normal);
  EXPECT_EQ(pressed, normal);
  (void)left;
}

TEST_F(MenuLook, TheEpisodeScreensTitleCaptionDoesNotReactToThePointer) {
  WriteFaces(1);
  Form1& m = ChooseFace(0);
  d.Click(m.BtnEnh2);
  Form3& f = Forms::Get<Form3>();
  SDL_Rect box = f.BtnEnh6.ScreenBox();
  auto row = [&] {
    std::vector<uint32_t> pixels;
    for (int x = box.x; x < box.x + box.w; ++x) pixels.push_back(d.Pixel(x, box.y + box.h / 2));
    pixels.push_back(d.Pixel(box.x, box.y));  // the frame
    return pixels;
  };
  d.MoveTo(600, 470);
  auto still = row();
  d.MoveOver(f.BtnEnh6);
  EXPECT_EQ(row(), still);
  SDL_Point middle = Driver::Middle(f.BtnEnh6);
  d.MouseDownAt(middle.x, middle.y);
  EXPECT_EQ(row(), still);
  d.MouseUpAt(middle.x, middle.y);
  // The episode buttons do answer.
  SDL_Point p = FacePoint(f.BtnEnh1);
  uint32_t before = d.Pixel(p.x, p.y);
  d.MouseDownAt(Driver::Middle(f.BtnEnh1).x, Driver::Middle(f.BtnEnh1).y);
  EXPECT_NE(d.Pixel(p.x, p.y), before);
}

// Buttons side by side (and the menu's column, and the episode buttons) show their
// captions at one size, the longest still clear of its button's edges.
TEST_F(MenuLook, ButtonsInOneRowShareOneCaptionSize) {
  WriteFaces(1);
  Form1& m = ChooseFace(0);
  const std::vector<std::vector<BtnEnh*>> rows = {{&m.Btn1, &m.Btn2, &m.Btn3, &m.Btn4},
                                                  {&m.BtnUp2, &m.BtnDn2, &m.BtnAccept, &m.BtnCancel},
                                                  {&m.BtnUp, &m.BtnDn, &m.BtnLD, &m.BtnEnh4},
                                                  {&m.BtnEnh2, &m.BtnEnh1},
                                                  {&m.BtnRes, &m.BtnCan}};
  for (const std::vector<BtnEnh*>& row : rows)
    for (BtnEnh* b : row) EXPECT_EQ(b->CaptionFont().sizePt, row.front()->CaptionFont().sizePt) << b->Name();
  d.Click(m.BtnEnh2);
  Form3& f = Forms::Get<Form3>();
  for (BtnEnh* b : {&f.BtnEnh2, &f.BtnEnh3, &f.BtnEnh4, &f.BtnEnh5})
    EXPECT_EQ(b->CaptionFont().sizePt, f.BtnEnh1.CaptionFont().sizePt) << b->Name();
  // "Профиль", the widest menu caption, keeps a margin on both sides.
  int width = 0, height = 0;
  ASSERT_EQ(TTF_SizeUTF8(OpenFont(m.Btn4.CaptionFont()), "Профиль", &width, &height), 0);
  EXPECT_LE(width, m.Btn4.ScreenBox().w * 7 / 8);
}

TEST_F(MenuLook, TitleIsDrawnInGreyWhiteAndBlackOnly) {
  dir.WritePicture("Texture0.jpg", 64, 48, 60, 60, 60);
  Form1& m = ReadyMenu();
  EXPECT_EQ(m.TXT.ColorOf(0), RGB(255, 255, 255));
  EXPECT_EQ(m.TXT.ColorOf(1), RGB(125, 125, 125));
  EXPECT_EQ(m.TXT.ColorOf(2), RGB(125, 125, 125));
  EXPECT_EQ(m.TXT.ColorOf(3), RGB(0, 0, 0));
  SDL_Rect box = m.TXT.ScreenBox();
  int light = 0, dark = 0;
  for (int y = box.y; y < box.y + box.h; ++y) {
    for (int x = box.x; x < box.x + box.w; ++x) {
      uint32_t p = d.Pixel(x, y);
      int r = p >> 16, g = (p >> 8) & 0xFF, b = p & 0xFF;
      ASSERT_TRUE(std::abs(r - g) <= 2 && std::abs(g - b) <= 2) << "coloured pixel at " << x << "," << y;
      light += r > 200;
      dark += r < 20;
    }
  }
  EXPECT_GT(light, 100);  // white letters
  EXPECT_GT(dark, 100);   // black outline and far extrusion
}

TEST_F(MenuLook, AltWithTheMarkedLettersKeyPressesTheButtonUnderEitherLayout) {
  WriteFaces(2);
  Form1& m = ReadyMenu();
  const SDL_Keycode russianEs = 0x0441;     // "с", what the key C types under the Russian layout
  d.PressAt(SDL_SCANCODE_C, russianEs, 0);  // without Alt it is only a key
  EXPECT_FALSE(m.StartGame.Visible());
  d.PressAt(SDL_SCANCODE_C, russianEs, KMOD_LALT);
  EXPECT_TRUE(m.StartGame.Visible());
  // The main buttons are disabled while a panel is open: their letters do nothing.
  d.PressAt(SDL_SCANCODE_G, SDLK_g, KMOD_LALT);
  EXPECT_FALSE(m.LoadProfile.Visible());
  d.Click(m.BtnCancel);

  d.PressAt(SDL_SCANCODE_G, SDLK_g, KMOD_RALT);  // US layout: the key G carries "П"
  EXPECT_TRUE(m.LoadProfile.Visible());
  d.Click(m.BtnEnh4);

  d.PressAt(SDL_SCANCODE_D, 0x0432, KMOD_LALT);  // "&Выход"
  d.Advance(260);
  EXPECT_TRUE(d.Ended());
}

TEST_F(MenuLook, ALetterPressedWithAltTypesNothingInTheNameEntry) {
  WriteFaces(2);
  Form1& m = ChooseFace(0);
  TypeName(m, "Ян");
  d.PressAt(SDL_SCANCODE_C, 0x0441, KMOD_LALT);  // the main buttons are disabled: nothing is pressed
  d.Type("с");                                   // the text the same key sends next
  d.Type("а");
  EXPECT_EQ(m.Text1.Text(), "Яна");
}

}  // namespace
}  // namespace vark
