// What the screen shows and how input reaches controls: pointers, keys, text boxes,
// clipping, the inverting image and label colours.
#include <gtest/gtest.h>

#include "platform/forms/screen.h"
#include "platform/input/keys.h"
#include "platform/video/display.h"
#include "platform/video/window.h"
#include "support/driver.h"

namespace vark {
namespace {

class Board : public Form {
 public:
  Board() : Form("Board") {
    Catcher.SetMaxLength(5);
    Escape.SetCancel(true);
    Escape.OnClick = [this] { ++escapes; };
    Panel.SetBackColor(RGB(0, 0, 255));
    Inside.SetBackColor(RGB(255, 0, 0));
    Text.SetTransparent(true);
    Text.SetFont(FontSpec{"Arial Black", 24, true});
    Text.SetCaption("ЖЖЖЖ");
  }
  void Form_KeyDown(int key, int) override { keys.push_back(key); }

  int escapes = 0;
  std::vector<int> keys;
  TextBox& Catcher = Add<TextBox>("Catcher", {0, -3000, 1500, 375});
  CommandButton& Escape = Add<CommandButton>("Escape", {0, 7500, 300, 300});
  PictureBox& Panel = AddPictureBox("Panel", {1500, 1500, 1500, 1500});
  PictureBox& Inside = AddPictureBox("Inside", {750, 750, 3000, 3000}, &Panel);  // reaches past the panel
  Image& Sprite = AddImage("Sprite", {6000, 1500, 1500, 1500});
  Image& Inverter = AddImage("Inverter", {6000, 4500, 1500, 1500});
  Label& Text = AddLabel("Text", {300, 5400, 4500, 900});
};

TEST(Screen, PointerFollowsControlThenContainerThenForm) {
  Driver d;
  auto& b = Forms::Show<Board>();
  Picture arrow = Picture::FromSurface(SDL_CreateRGBSurfaceWithFormat(0, 32, 32, 32, SDL_PIXELFORMAT_ARGB8888));
  b.SetMousePointer({PointerKind::Custom, arrow});
  b.Sprite.SetMousePointer({PointerKind::Invisible, {}});
  b.Panel.SetMousePointer({PointerKind::Invisible, {}});
  d.MoveTo(450, 150);  // over Sprite
  EXPECT_EQ(Screen::Get().CurrentPointer().kind, PointerKind::Invisible);
  d.MoveTo(600, 400);  // the form's own surface
  EXPECT_EQ(Screen::Get().CurrentPointer().kind, PointerKind::Custom);
  d.MoveTo(160, 160);  // Inside, which has no pointer of its own: its container's
  EXPECT_EQ(Screen::Get().CurrentPointer().kind, PointerKind::Invisible);
}

TEST(Screen, KeysReachTheFormFirstThenEscapePressesTheCancelButton) {
  Driver d;
  auto& b = Forms::Show<Board>();
  d.Press(SDLK_q);
  EXPECT_TRUE(b.keys.empty());  // the form hears keys only when it asks for them
  b.SetKeyPreview(true);
  d.Press(SDLK_q);
  d.Press(SDLK_ESCAPE);
  EXPECT_EQ(b.keys, (std::vector<int>{SDLK_q, SDLK_ESCAPE}));
  EXPECT_EQ(b.escapes, 1);
  b.Escape.SetEnabled(false);
  d.Press(SDLK_ESCAPE);
  EXPECT_EQ(b.escapes, 1);
}

TEST(Screen, CommandLettersFollowLatinLabelsOrOtherScriptsPlacesOtherKeysTheirLayout) {
  Driver d;
  auto& b = Forms::Show<Board>();
  b.SetKeyPreview(true);
  const SDL_Keycode ze = 0x437;  // "з", on the P position of the Russian layout
  d.PressAt(SDL_SCANCODE_P, ze);
  d.PressAt(SDL_SCANCODE_0, SDLK_RIGHTPAREN);  // a layout with shifted digits
  d.PressAt(SDL_SCANCODE_1, SDLK_AMPERSAND);
  d.PressAt(SDL_SCANCODE_UP, SDLK_UP);
  d.PressAt(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE);
  d.PressAt(SDL_SCANCODE_SLASH, SDLK_PERIOD);  // not a command key: the layout's own code
  d.PressAt(SDL_SCANCODE_SEMICOLON, SDLK_m);   // AZERTY: the letter printed on the key
  d.PressAt(SDL_SCANCODE_A, SDLK_q);
  d.PressAt(SDL_SCANCODE_M, SDLK_COMMA);  // AZERTY's comma on the US M: no letter
  d.PressAt(SDL_SCANCODE_5, SDLK_5);
  d.PressAt(SDL_SCANCODE_SEMICOLON, SDLK_5);  // a digit away from the digit row commands nothing
  EXPECT_EQ(b.keys, (std::vector<int>{SDLK_p, SDLK_0, SDLK_1, SDLK_UP, SDLK_ESCAPE, SDLK_PERIOD, SDLK_m, SDLK_q,
                                      SDLK_COMMA, SDLK_5, SDLK_UNKNOWN}));
  EXPECT_EQ(b.escapes, 1);
  d.PressAt(SDL_SCANCODE_P, ze);
  EXPECT_EQ(b.Catcher.Text(), "");  // keys type nothing: text comes from text input only
  for (SDL_Keycode key : {SDLK_a, SDLK_z, SDLK_1, SDLK_9, SDLK_0, SDLK_ESCAPE, SDLK_LEFT, SDLK_DOWN})
    EXPECT_EQ(PositionalKey(PositionOf(key), 0), key) << SDL_GetKeyName(key);
  EXPECT_EQ(PositionOf(SDLK_RETURN), SDL_SCANCODE_UNKNOWN);
}

TEST(Screen, TypingEditsTheFocusedBoxWithinItsLimits) {
  Driver d;
  auto& b = Forms::Show<Board>();
  int changes = 0;
  b.Catcher.OnChange = [&] { ++changes; };
  b.Catcher.SetCharFilter([](std::string_view ch) { return ch != "/"; });
  d.Type("Жу/к");
  EXPECT_EQ(b.Catcher.Text(), "Жук");
  EXPECT_EQ(changes, 3);
  d.Press(SDLK_BACKSPACE);
  EXPECT_EQ(b.Catcher.Text(), "Жу");
  d.Type("1234");
  EXPECT_EQ(b.Catcher.Text(), "Жу123");  // at most five characters
  b.Catcher.SetText("Жу123");            // the same text is no change
  EXPECT_EQ(changes, 7);
  b.Catcher.SetVisible(false);  // a hidden box takes no keys
  d.Type("x");
  EXPECT_EQ(b.Catcher.Text(), "Жу123");
}

TEST(Screen, EditingKeysMoveTheCaretByLettersAndDeleteWholeLetters) {
  Driver d;
  auto& b = Forms::Show<Board>();
  d.Type("Жук");
  d.Press(SDLK_LEFT);
  d.Press(SDLK_LEFT);
  d.Type("ё");
  EXPECT_EQ(b.Catcher.Text(), "Жёук");
  d.Press(SDLK_DELETE);
  EXPECT_EQ(b.Catcher.Text(), "Жёк");
  d.Press(SDLK_HOME);
  d.Press(SDLK_BACKSPACE);  // nothing before the caret
  d.Press(SDLK_DELETE);
  EXPECT_EQ(b.Catcher.Text(), "ёк");
  d.Press(SDLK_END);
  d.Press(SDLK_RIGHT);  // already at the end
  d.Press(SDLK_DELETE);
  d.Type("и");
  EXPECT_EQ(b.Catcher.Text(), "ёки");
  for (int i = 0; i < 5; ++i) d.Press(SDLK_LEFT);  // stops at the start
  d.Type("Ж");
  EXPECT_EQ(b.Catcher.Text(), "Жёки");
  EXPECT_EQ(b.Catcher.SelStart(), 1u);
}

TEST(Screen, AltEnterSwitchesFullScreen) {
  Driver d;
  Forms::Show<Board>();
  bool before = GameWindow::Get().Fullscreen();
  d.Press(SDLK_RETURN, KMOD_LALT);
  EXPECT_NE(GameWindow::Get().Fullscreen(), before);
}

TEST(Screen, The640x480ModeTakesTheDisplayUnlessTheGameStartedInAWindow) {
  Driver d;
  auto display = MakeScaledDisplay();
  for (bool startedFullscreen : {true, false}) {
    Screen::Get().Shutdown();
    Screen::Get().Init(false, startedFullscreen);
    display->Change({640, 480, 32});
    EXPECT_EQ(GameWindow::Get().Fullscreen(), startedFullscreen);
    display->Change({1280, 1024, 32});  // back to the desktop's mode: a window
    EXPECT_FALSE(GameWindow::Get().Fullscreen());
  }
  // Alt+Enter still reaches full screen from a window the player asked for.
  Forms::Show<Board>();
  d.Press(SDLK_RETURN, KMOD_LALT);
  EXPECT_TRUE(GameWindow::Get().Fullscreen());
}

// The window appears with the first picture and never again by itself: once the window
// manager has hidden it (the player minimised it or went to another workspace), new
// pictures leave it where it is.
TEST(Screen, WindowAppearsWithTheFirstPictureOnly) {
  Driver d;
  Screen::Get().Shutdown();
  Screen::Get().Init(true, false);
  SDL_Window* window = GameWindow::Get().Handle();
  ASSERT_NE(window, nullptr);
  auto hidden = [&] { return (SDL_GetWindowFlags(window) & SDL_WINDOW_HIDDEN) != 0; };
  d.Advance(100);
  EXPECT_TRUE(hidden()) << "nothing to show yet";
  auto& b = Forms::Show<Board>();
  d.Advance(100);
  EXPECT_FALSE(hidden());
  SDL_HideWindow(window);
  b.Text.SetCaption("ЖЖ");
  d.Advance(100);
  EXPECT_FALSE(Screen::Get().Dirty());  // the new picture was drawn
  EXPECT_TRUE(hidden());
}

// What a control shows changes no picture while it cannot be seen (on a hidden panel, or
// hidden itself); shown again, it is drawn as it is now.
TEST(Screen, ChangesOnAHiddenPanelRepaintNothingUntilItShows) {
  Driver d;
  auto& b = Forms::Show<Board>();
  d.Advance(100);
  ASSERT_FALSE(Screen::Get().Dirty());
  b.Panel.SetVisible(false);
  d.Advance(100);
  b.Inside.SetBackColor(RGB(0, 255, 0));
  EXPECT_FALSE(Screen::Get().Dirty()) << "a change on the hidden panel";
  b.Text.SetVisible(false);
  d.Advance(100);
  b.Text.SetCaption("ЖЖ");
  EXPECT_FALSE(Screen::Get().Dirty()) << "a change of a hidden label";
  b.Panel.SetVisible(true);
  EXPECT_TRUE(Screen::Get().Dirty());
  d.Advance(100);
  EXPECT_EQ(d.Pixel(110, 110), 0x0000FFu);  // the panel
  EXPECT_EQ(d.Pixel(160, 160), 0x00FF00u) << "the inside as it is now";
  b.Inside.SetBackColor(RGB(255, 0, 0));
  EXPECT_TRUE(Screen::Get().Dirty()) << "a change that shows";
}

TEST(Screen, ContainersClipTheirChildren) {
  Driver d;
  Forms::Show<Board>();
  EXPECT_EQ(d.Pixel(110, 110), 0x0000FFu);  // the panel
  EXPECT_EQ(d.Pixel(190, 190), 0xFF0000u);  // the child inside the panel
  EXPECT_EQ(d.Pixel(210, 210), 0x000000u);  // the child's part beyond the panel is cut
}

TEST(Screen, InvertingImageShowsTheBackgroundInverted) {
  Driver d;
  auto& b = Forms::Show<Board>();
  b.SetBackColor(RGB(10, 200, 30));
  b.Inverter.SetStretch(true);
  b.Inverter.SetInvert(true);
  EXPECT_EQ(d.Pixel(450, 350), 0xF537E1u);
  EXPECT_EQ(d.Pixel(450, 250), 0x0AC81Eu);
}

TEST(Screen, LabelColourAndCaptionChangesShowAndMissingPicturesAreEmpty) {
  Driver d;
  auto& b = Forms::Show<Board>();
  auto reddest = [&] {
    int best = 0;
    for (int x = 20; x < 300; ++x)
      for (int y = 360; y < 420; ++y) best = std::max<int>(best, (d.Pixel(x, y) >> 16) & 0xFF);
    return best;
  };
  b.Text.SetForeColor(RGB(0, 0, 255));
  EXPECT_LT(reddest(), 40);
  b.Text.SetForeColor(RGB(255, 0, 0));
  EXPECT_GT(reddest(), 200);
  // A new caption in the same colour shows the new letters, not the old ones.
  auto redPixels = [&] {
    int count = 0;
    for (int x = 20; x < 320; ++x)
      for (int y = 360; y < 420; ++y) count += ((d.Pixel(x, y) >> 16) & 0xFF) > 128;
    return count;
  };
  b.Text.SetCaption("i");
  int narrow = redPixels();
  b.Text.SetCaption("WWWWWW");
  EXPECT_GT(redPixels(), 4 * narrow);
  b.Sprite.LoadPicture("Gfx\\nothing-here.dat");
  EXPECT_TRUE(b.Sprite.GetPicture().Empty());
}

TEST(Screen, ReleaseElsewhereIsNoClickButTheUpGoesToThePressedControl) {
  Driver d;
  auto& b = Forms::Show<Board>();
  int clicks = 0, ups = 0;
  b.Sprite.OnClick = [&] { ++clicks; };
  b.Sprite.OnMouseUp = [&](int, int, double, double) { ++ups; };
  d.MouseDownAt(450, 150);
  d.MouseUpAt(600, 450);
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(ups, 1);
  d.ClickAt(450, 150);
  EXPECT_EQ(clicks, 1);
}

}  // namespace
}  // namespace vark
