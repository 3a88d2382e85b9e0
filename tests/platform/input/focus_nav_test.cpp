// Playing without a mouse: the focus ring, its moves by arrows, presses by Enter and Space,
// Escape's button, and game controllers turned into the same keys.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/forms/screen.h"
#include "platform/input/focus_nav.h"
#include "platform/input/gamepad.h"
#include "platform/input/input_router.h"
#include "platform/runtime/app.h"
#include "support/driver.h"

namespace vark {
namespace {

constexpr uint32_t kYellow24 = 0xFFFF00;

// Two rows of buttons, a face that reacts to the mouse going down, a panel with its own
// buttons, and a text box that takes the keys while it is enabled.
class Board : public Form {
 public:
  Board() : Form("Board") {
    for (BtnEnh* b : {&A, &B, &C, &D, &Yes, &No}) b->OnClick = [this, b] { clicks.push_back(b->Name()); };
    Face.SetFocusable(true);
    Face.SetStretch(true);
    Face.OnMouseDown = [this](int button, int, double, double) {
      clicks.push_back("Face down " + std::to_string(button));
    };
    Face.OnClick = [this] { clicks.push_back("Face click"); };
    Question.SetVisible(false);
    Question.SetBackColor(RGB(0, 0, 64));
    Text.SetEnabled(false);
    SetFirstFocus({&B, &Yes});
    SetEscapeButtons({&No});
  }
  BtnEnh& A = AddButton("A", {1500, 1500, 1500, 600}, "A");
  BtnEnh& B = AddButton("B", {4500, 1500, 1500, 600}, "B");
  BtnEnh& C = AddButton("C", {1500, 3000, 1500, 600}, "C");
  BtnEnh& D = AddButton("D", {4500, 3000, 1500, 600}, "D");
  BtnEnh& Caption = AddButton("Caption", {7000, 1500, 1500, 600}, "caption only");
  Image& Face = AddImage("Face", {7000, 3000, 900, 600});
  PictureBox& Question = AddPictureBox("Question", {1000, 1000, 6000, 3000});
  BtnEnh& Yes = AddButton("Yes", {600, 1500, 1500, 600}, "Yes", &Question);
  BtnEnh& No = AddButton("No", {3000, 1500, 1500, 600}, "No", &Question);
  TextBox& Text = Add<TextBox>("Text", {0, 9000, 1500, 300});
  std::vector<std::string> clicks;
};

// The ring's bright band runs two pixels outside the control's box.
uint32_t RingPixel(Driver& d, const Control& c) {
  SDL_Rect b = c.ScreenBox();
  return d.Pixel(b.x + b.w / 2, b.y - 2);
}

std::string Focus() {
  Control* c = FocusNav::Get().Focused();
  return c ? c->Name() : "none";
}

class FocusRing : public ::testing::Test {
 protected:
  Driver d;
  Board& board = Forms::Show<Board>();
};

TEST_F(FocusRing, ShowsOnTheFirstKeyOnTheFirstFocusMovesByArrowsAndHidesWhenTheMouseMoves) {
  const uint32_t before = RingPixel(d, board.B);
  EXPECT_NE(before, kYellow24);
  d.Press(SDLK_LEFT);  // only shows where the focus is
  EXPECT_EQ(Focus(), "B");
  EXPECT_EQ(RingPixel(d, board.B), kYellow24);
  d.Press(SDLK_LEFT);
  EXPECT_EQ(Focus(), "A");
  EXPECT_EQ(RingPixel(d, board.A), kYellow24);
  EXPECT_EQ(RingPixel(d, board.B), before);
  d.Press(SDLK_DOWN);
  EXPECT_EQ(Focus(), "C");
  d.Press(SDLK_DOWN);  // nothing below: the focus stays
  EXPECT_EQ(Focus(), "C");
  d.Press(SDLK_RIGHT);
  EXPECT_EQ(Focus(), "D");
  d.Press(SDLK_RIGHT);  // the face, in line with D; the caption box takes no focus
  EXPECT_EQ(Focus(), "Face");
  d.Press(SDLK_UP);
  EXPECT_EQ(Focus(), "B") << "the caption box is skipped";
  EXPECT_TRUE(board.clicks.empty());

  d.MoveTo(10, 10);
  EXPECT_FALSE(FocusNav::Get().RingShown());
  EXPECT_EQ(RingPixel(d, board.B), before);
  d.MoveTo(10, 10);  // no movement: nothing changes
  d.Press(SDLK_DOWN);
  EXPECT_EQ(Focus(), "B") << "the first key after the mouse shows the ring again";
}

TEST_F(FocusRing, EnterAndSpacePressLikeAClickAndDisabledOrHiddenControlsAreSkipped) {
  d.Press(SDLK_RETURN);
  d.Press(SDLK_SPACE);
  d.Type(" ");  // the text Space would type is not typed
  EXPECT_EQ(board.clicks, (std::vector<std::string>{"B", "B"}));
  EXPECT_EQ(board.Text.Text(), "");
  board.D.SetEnabled(false);
  board.C.SetVisible(false);
  d.Press(SDLK_DOWN);
  EXPECT_EQ(Focus(), "Face");
  d.Press(SDLK_KP_ENTER);
  EXPECT_EQ(board.clicks.back(), "Face click");
  EXPECT_EQ(board.clicks[board.clicks.size() - 2], "Face down 1");
  // A hidden focus gives way to its neighbour.
  board.Face.SetVisible(false);
  EXPECT_EQ(Focus(), "B");
}

TEST_F(FocusRing, AnOpenPanelCoversWhatLiesBehindItAndEscapePressesItsShownButton) {
  d.Press(SDLK_ESCAPE);  // "No" is hidden: Escape does nothing
  EXPECT_TRUE(board.clicks.empty());
  d.Press(SDLK_DOWN);
  board.Question.SetVisible(true);
  // A and B lie under the panel; the focus goes to the panel's first choice.
  EXPECT_EQ(Focus(), "Yes");
  EXPECT_EQ(RingPixel(d, board.Yes), kYellow24);
  d.Press(SDLK_UP);
  EXPECT_EQ(Focus(), "Yes");
  d.Press(SDLK_RIGHT);
  EXPECT_EQ(Focus(), "No");
  d.Press(SDLK_ESCAPE);
  EXPECT_EQ(board.clicks, (std::vector<std::string>{"No"}));
}

// The keyboard repeats a held key: Escape and Enter press once however long they are held,
// a held arrow goes on moving the focus.
TEST_F(FocusRing, HeldEscapeAndEnterPressOnceAndAHeldArrowRepeats) {
  auto held = [&](SDL_Keycode key, int repeats) {
    for (int i = 0; i <= repeats; ++i) {
      SDL_Event e{};
      e.type = SDL_KEYDOWN;
      e.key.repeat = i > 0;
      e.key.keysym.sym = key;
      e.key.keysym.scancode = SDL_GetScancodeFromKey(key);
      App::Get().Dispatch([&] { InputRouter::Get().HandleEvent(e); });
      App::Get().AfterEvent();
    }
  };
  held(SDLK_RETURN, 3);
  EXPECT_EQ(board.clicks, (std::vector<std::string>{"B"}));
  held(SDLK_LEFT, 0);
  held(SDLK_DOWN, 0);
  ASSERT_EQ(Focus(), "C");
  held(SDLK_RIGHT, 1);  // D, then on to the face
  EXPECT_EQ(Focus(), "Face");
  board.Question.SetVisible(true);
  board.clicks.clear();
  held(SDLK_ESCAPE, 3);
  EXPECT_EQ(board.clicks, (std::vector<std::string>{"No"}));
  EXPECT_FALSE(InputRouter::Get().KeyRepeated());
}

TEST_F(FocusRing, AFocusedTextBoxKeepsArrowsAndEnterForItselfUnlessItGivesThemAway) {
  board.Text.SetEnabled(true);
  board.Text.SetText("abc");
  board.Text.SetFocus();
  board.Text.CaretEnd();
  d.Press(SDLK_LEFT);
  d.Press(SDLK_RETURN);
  EXPECT_EQ(board.Text.SelStart(), 2u);
  EXPECT_FALSE(FocusNav::Get().RingShown());
  EXPECT_TRUE(board.clicks.empty());
  board.Text.SetKeepsNavigationKeys(false);
  d.Press(SDLK_RETURN);
  EXPECT_EQ(board.clicks, (std::vector<std::string>{"B"}));
}

TEST_F(FocusRing, ControllerDpadAndStickMoveAPressesBEscapesAndAHeldStickRepeats) {
  d.PadTap(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
  d.PadTap(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
  EXPECT_EQ(Focus(), "A");
  d.PadTap(SDL_CONTROLLER_BUTTON_A);
  EXPECT_EQ(board.clicks, (std::vector<std::string>{"A"}));

  // Inside the dead zone nothing moves; past it, once, then again after a pause and
  // steadily while held; let go, nothing more.
  d.PadAxis(SDL_CONTROLLER_AXIS_LEFTX, 12000);
  EXPECT_EQ(Focus(), "A");
  d.PadAxis(SDL_CONTROLLER_AXIS_LEFTX, 30000);
  EXPECT_EQ(Focus(), "B");
  d.PadAxis(SDL_CONTROLLER_AXIS_LEFTX, 0);
  d.PadAxis(SDL_CONTROLLER_AXIS_LEFTX, -30000, 1);  // a second controller drives too
  EXPECT_EQ(Focus(), "A");
  d.PadAxis(SDL_CONTROLLER_AXIS_LEFTX, 0, 1);
  d.PadAxis(SDL_CONTROLLER_AXIS_LEFTY, 32767);
  EXPECT_EQ(Focus(), "C");
  d.PadAxis(SDL_CONTROLLER_AXIS_LEFTY, 0);
  d.PadAxis(SDL_CONTROLLER_AXIS_LEFTX, 32767);  // to D, then held
  EXPECT_EQ(Focus(), "D");
  d.Advance(399);
  EXPECT_EQ(Focus(), "D");
  d.Advance(1);
  EXPECT_EQ(Focus(), "Face");
  d.PadAxis(SDL_CONTROLLER_AXIS_LEFTX, 0);
  d.Press(SDLK_LEFT);
  d.Press(SDLK_LEFT);
  EXPECT_EQ(Focus(), "C");
  d.Advance(1000);
  EXPECT_EQ(Focus(), "C") << "no repeat after the stick came back";

  board.Question.SetVisible(true);
  d.PadTap(SDL_CONTROLLER_BUTTON_B);
  EXPECT_EQ(board.clicks.back(), "No");
  d.PadTap(SDL_CONTROLLER_BUTTON_START);
  EXPECT_EQ(board.clicks.size(), 3u);
}

TEST(Steering, ArrowKeysDpadAndStickSteerAndLettingGoStops) {
  Driver d;
  Forms::Show<Board>();
  EXPECT_EQ(SteerX(), 0);
  d.Hold(SDLK_RIGHT);
  EXPECT_EQ(SteerX(), 1);
  d.Hold(SDLK_LEFT);
  EXPECT_EQ(SteerX(), 0);
  d.Release(SDLK_RIGHT);
  EXPECT_EQ(SteerX(), -1);
  d.Release(SDLK_LEFT);
  EXPECT_EQ(SteerX(), 0);
  d.PadButton(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
  EXPECT_EQ(SteerX(), 1);
  d.PadButton(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false);
  d.PadAxis(SDL_CONTROLLER_AXIS_LEFTX, 5000);  // resting stick: no drift
  EXPECT_EQ(SteerX(), 0);
  d.PadAxis(SDL_CONTROLLER_AXIS_LEFTX, -19661);  // 60 % of the way: half speed
  EXPECT_NEAR(SteerX(), -0.5, 0.01);
  d.PadAxis(SDL_CONTROLLER_AXIS_LEFTX, -32768);
  EXPECT_EQ(SteerX(), -1);
}

// Mapping files are read as any file a player may swap: a named pipe or a file of 16 MB in
// their place is passed over at once (SDL would block on the pipe for good and parse the
// large file for minutes), also under SDL's own variable.
TEST(Controllers, MappingFilesThatAreNoPlainSmallFileArePassedOver) {
  Driver d;
  TempFolder dir;
  const auto pipe = dir.Path() / "pipe";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  std::string large;
  while (large.size() < (size_t{16} << 20))
    large += "03000000000000000000000000766172,VarkTestPad,a:b0,b:b1,platform:Linux,\n";
  dir.Write("large.txt", large);
  for (const char* variable : {"SDL_GameControllerDB", "SDL_GAMECONTROLLERCONFIG_FILE"}) {
    for (const auto& file : {pipe, dir.Path() / "large.txt"}) {
      setenv(variable, file.c_str(), 1);
      EXPECT_TRUE(InitControllers());
      unsetenv(variable);
      EXPECT_EQ(SDL_GameControllerMappingForGUID(SDL_JoystickGetGUIDFromString("03000000000000000000000000766172")),
                nullptr);
      ShutdownControllers();
    }
  }
}

TEST(Controllers, PlugInAndOutThroughSdlWithTheMappingDatabaseFromTheEnvironment) {
  Driver d;
  TempFolder dir;
  // A database line for a pad nobody has: read from the file the variable names.
  dir.Write("db.txt", "03000000000000000000000000766172,VarkTestPad,a:b0,b:b1,platform:Linux,\n");
  setenv("SDL_GameControllerDB", (dir.Path() / "db.txt").c_str(), 1);
  ASSERT_TRUE(InitControllers());
  unsetenv("SDL_GameControllerDB");
  char* mapping = SDL_GameControllerMappingForGUID(SDL_JoystickGetGUIDFromString("03000000000000000000000000766172"));
  ASSERT_NE(mapping, nullptr);
  EXPECT_NE(std::string(mapping).find("VarkTestPad"), std::string::npos);
  SDL_free(mapping);

  int device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 6, 15, 0);
  ASSERT_GE(device, 0) << SDL_GetError();
  EXPECT_EQ(OpenControllers(), 0);
  SDL_Event added{};
  added.type = SDL_CONTROLLERDEVICEADDED;
  added.cdevice.which = device;
  EXPECT_TRUE(HandleControllerEvent(added));
  EXPECT_EQ(OpenControllers(), 1);
  SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(device);
  SDL_Event removed{};
  removed.type = SDL_CONTROLLERDEVICEREMOVED;
  removed.cdevice.which = id;
  EXPECT_TRUE(HandleControllerEvent(removed));
  EXPECT_EQ(OpenControllers(), 0);
  SDL_JoystickDetachVirtual(device);
  ShutdownControllers();
}

}  // namespace
}  // namespace vark
