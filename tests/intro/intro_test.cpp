// The intro through the test driver: credits, scrolling line, colours, camera keys,
// pacing, the still landscape, bad pictures and the way back to the menu.
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <set>

#include "intro/intro.h"
#include "platform/video/display.h"
#include "platform/base/owned.h"
#include "profiles/form1.h"
#include "support/driver.h"

namespace vark {
namespace {

constexpr int kStartMs = 2000;

// Writes an 8-bit palettised picture (PNG bytes under whatever name the game asks for).
void WriteBytePicture(const TempFolder& dir, const std::string& relative, int w, int h,
                      const std::function<uint8_t(int, int)>& byteAt) {
  OwnedSurface s(SDL_CreateRGBSurfaceWithFormat(0, w, h, 8, SDL_PIXELFORMAT_INDEX8));
  std::array<SDL_Color, 256> palette{};
  palette[0] = {20, 30, 90, 255};  // sky
  for (int i = 1; i < 256; ++i)
    palette[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(90 + i / 2), static_cast<uint8_t>(i / 3), 255};
  SDL_SetPaletteColors(s->format->palette, palette.data(), 0, 256);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) static_cast<uint8_t*>(s->pixels)[y * s->pitch + x] = byteAt(x, y);
  auto path = dir.Path() / relative;
  std::filesystem::create_directories(path.parent_path());
  ASSERT_EQ(IMG_SavePNG(s.get(), path.string().c_str()), 0);
}

// Rolling hills, coloured by height.
uint8_t Hill(int x, int y) {
  double v = 0.5 + 0.25 * std::sin(x * 2 * M_PI / 128) + 0.25 * std::cos(y * 2 * M_PI / 64);
  return static_cast<uint8_t>(std::clamp(v * 200, 0.0, 250.0));
}

void WriteLandscape(const TempFolder& dir) {
  WriteBytePicture(dir, "gfx/title.gif", 320, 240, [](int, int) { return uint8_t{0}; });
  WriteBytePicture(dir, "gfx/height.gif", 512, 512, Hill);
  WriteBytePicture(dir, "gfx/texture.gif", 512, 512, [](int x, int y) { return uint8_t(1 + Hill(x, y)); });
}

struct IntroTest : ::testing::Test {
  Driver d;
  TempFolder dir;

  INTRO& Open() { return Forms::Show<INTRO>(); }
  // Runs the frame loop for `ms` after it starts, then checks from inside it.
  void RunLoop(int ms, const std::function<void()>& check) {
    d.At(kStartMs + ms, check);
    d.Advance(kStartMs + ms + 1);
  }
};

TEST_F(IntroTest, LoadingTextStandsUntilTheFirstPassShowsTheFirstCredit) {
  auto& intro = Open();
  auto& subtitle = d.Find<Label>(intro, "Label1");
  d.Advance(kStartMs - 1);
  EXPECT_EQ(subtitle.Caption(), "Loading intro media... please wait!");
  EXPECT_TRUE(intro.Picture1.Visible());
  EXPECT_EQ(intro.TXT.Caption(), "");
  RunLoop(1, [&] {
    EXPECT_FALSE(intro.Picture1.Visible());
    EXPECT_EQ(intro.TXT.Caption(), "Project: VarK");
    EXPECT_EQ(subtitle.Caption(), "The Arcade Game");
  });
}

TEST_F(IntroTest, EachCreditStaysFor150PassesWithItsTitleAnimatedAndTheRollStartsAgain) {
  auto& intro = Open();
  std::vector<std::string> shown;
  std::vector<double> titleValues;
  for (int pass = 0; pass < 26 * 150 + 1; ++pass) {
    intro.FramePass();
    titleValues.push_back(intro.TXT.Value());
    if (pass % 150 == 0) shown.push_back(intro.TXT.Caption() + "|" + intro.Label1.Caption());
    if (pass % 150 == 149) {
      ASSERT_EQ(intro.CreditIndex, pass / 150) << pass;
    }
  }
  ASSERT_EQ(shown.size(), 27u);
  EXPECT_EQ(shown[1], "DEVELOPERS TEAM|КОМАНДА РАЗРАБОТЧИКОВ");
  EXPECT_EQ(shown[2].substr(shown[2].find('|')), "|АВТОР ПРОEКТА, ПРОГРАММИСТ");
  EXPECT_EQ(shown[20], "ALL VARKERS IN THE UNIVERSE!!!|И ВСЕМ-ВСЕМ-ВСЕМ!!!");
  EXPECT_EQ(shown[24], "TO BE CONTINUED :)|");
  EXPECT_EQ(shown[25], "|");
  EXPECT_EQ(shown[26], "Project: VarK|The Arcade Game");
  EXPECT_EQ(intro.CreditIndex, 0);
  const std::vector<double> firstValues(titleValues.begin(), titleValues.begin() + 3);
  EXPECT_EQ(firstValues, (std::vector<double>{10, 18, 22}));
  EXPECT_EQ(titleValues[149], 610);
  EXPECT_EQ(titleValues[150], 10);
}

TEST_F(IntroTest, ScrollingLineColoursCycleThroughSevenStepsFourTimesASecond) {
  auto& intro = Open();
  const std::vector<Color> steps{RGB(0, 0, 255),   RGB(255, 0, 0),   RGB(192, 0, 192),  RGB(0, 255, 0),
                                 RGB(0, 255, 255), RGB(255, 0, 255), RGB(255, 255, 255)};
  for (int pass = 0; pass < 15; ++pass) {
    intro.FramePass(INTRO::kColourStepMs);
    EXPECT_EQ(intro.ColourPhase, pass % 7 + 1);
    EXPECT_EQ(intro.Label2.ForeColor(), steps[pass % 7]) << pass;
  }
  // At sixty passes a second the colour still changes only four times a second.
  int changes = 0;
  for (int pass = 0; pass < 120; ++pass) {
    Color before = intro.Label2.ForeColor();
    intro.FramePass(1000.0 / 60);
    changes += intro.Label2.ForeColor() == before ? 0 : 1;
  }
  EXPECT_GE(changes, 7);
  EXPECT_LE(changes, 8);
}

TEST_F(IntroTest, ScrollingLineReentersFromTheRightOnceItHasLeftTheScreen) {
  auto& intro = Open();
  auto& strip = intro.Picture2;
  const int entry = intro.Image1.Width() + 1024;
  EXPECT_EQ(strip.Left(), entry);
  EXPECT_EQ(strip.Width(), intro.Label2.Width() + 512);
  EXPECT_GT(intro.Label2.Width(), 9600);  // a long line, sized to its text
  int reentries = 0;
  for (int pass = 0; pass < 3000 && reentries < 2; ++pass) {
    int before = strip.Left();
    intro.FramePass();
    if (strip.Left() == before - 64) {
      ASSERT_GT(strip.Left() + strip.Width(), 0);
    } else {
      ASSERT_LE(before - 64 + strip.Width(), 0);
      ASSERT_EQ(strip.Left(), entry);
      ++reentries;
    }
  }
  EXPECT_EQ(reentries, 2);
}

TEST_F(IntroTest, MusicStartsAtOnceAndIsStartedAgainAfterItEnds) {
  auto& intro = Open();
  EXPECT_EQ(d.Sound().Plays("Intro.mp3"), 1);
  intro.FramePass();
  EXPECT_EQ(d.Sound().Plays("Intro.mp3"), 1);
  d.Sound().Finish(intro.MP.Channel());
  intro.FramePass();
  EXPECT_EQ(d.Sound().Plays("Intro.mp3"), 2);
}

TEST_F(IntroTest, KeysSteerOnlyWhatTheirKeyChangesAndOtherKeysNothing) {
  auto& intro = Open();
  struct Effect {
    SDL_Keycode key;
    double Camera::*field;
    double delta;
  };
  const std::vector<Effect> effects{{SDLK_q, &Camera::CamY, 10},         {SDLK_a, &Camera::CamY, -10},
                                    {SDLK_z, &Camera::CamX, 10},         {SDLK_x, &Camera::CamX, -10},
                                    {SDLK_w, &Camera::CamZ, 10},         {SDLK_s, &Camera::CamZ, -10},
                                    {SDLK_e, &Camera::PitchStep, 0.005}, {SDLK_d, &Camera::PitchStep, -0.005}};
  auto same = [](const Camera& a, const Camera& b) {
    return a.CamX == b.CamX && a.CamY == b.CamY && a.CamZ == b.CamZ && a.PitchStep == b.PitchStep &&
           a.Heading == b.Heading;
  };
  for (const Effect& e : effects) {
    Camera expected = intro.Cam;
    expected.*e.field += e.delta;
    d.Press(e.key, KMOD_LSHIFT);
    EXPECT_TRUE(same(intro.Cam, expected)) << SDL_GetKeyName(e.key);
  }
  d.Press(SDLK_c);
  EXPECT_EQ(intro.Cam.Heading, 130);
  d.Press(SDLK_v);
  d.Press(SDLK_v);
  EXPECT_EQ(intro.Cam.Heading, 70);
  // The arrows and Page Up/Down steer like Q/A, C/V and W/S (a controller's stick, D-pad
  // and shoulder buttons arrive as them).
  const std::vector<Effect> keyboardAndPad{{SDLK_UP, &Camera::CamY, 10},
                                           {SDLK_DOWN, &Camera::CamY, -10},
                                           {SDLK_PAGEUP, &Camera::CamZ, 10},
                                           {SDLK_PAGEDOWN, &Camera::CamZ, -10}};
  for (const Effect& e : keyboardAndPad) {
    Camera expected = intro.Cam;
    expected.*e.field += e.delta;
    d.Press(e.key);
    EXPECT_TRUE(same(intro.Cam, expected)) << SDL_GetKeyName(e.key);
  }
  d.Press(SDLK_LEFT);
  EXPECT_EQ(intro.Cam.Heading, 100);
  d.Press(SDLK_RIGHT);
  EXPECT_EQ(intro.Cam.Heading, 70);
  Camera before = intro.Cam;
  for (SDL_Keycode other : {SDLK_r, SDLK_1, SDLK_TAB, SDLK_F1}) d.Press(other);
  EXPECT_TRUE(same(intro.Cam, before));
  EXPECT_TRUE(intro.Loaded());
}

TEST_F(IntroTest, EnterSpaceEscapeAndAnyControllerButtonReturnToTheMenuLikeAClick) {
  const std::vector<std::function<void()>> leave{[&] { d.Press(SDLK_RETURN); },
                                                 [&] { d.Press(SDLK_SPACE); },
                                                 [&] { d.Press(SDLK_ESCAPE); },
                                                 [&] { d.PadTap(SDL_CONTROLLER_BUTTON_A); },
                                                 [&] { d.PadTap(SDL_CONTROLLER_BUTTON_B); },
                                                 [&] { d.PadTap(SDL_CONTROLLER_BUTTON_Y); },
                                                 [&] { d.PadTap(SDL_CONTROLLER_BUTTON_START); },
                                                 [&] { d.PadTap(SDL_CONTROLLER_BUTTON_BACK); },
                                                 [&] { d.PadAxis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767); }};
  for (size_t i = 0; i < leave.size(); ++i) {
    d.PadAxis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 0);
    Open();
    leave[i]();
    EXPECT_FALSE(Forms::IsLoaded<INTRO>()) << "way " << i;
    EXPECT_EQ(Forms::Active(), &Forms::Get<Form1>()) << "way " << i;
  }
}

TEST_F(IntroTest, SteeringKeysWorkByPositionUnderTheRussianLayout) {
  auto& intro = Open();
  const SDL_Keycode shortI = 0x439, ef = 0x444;  // "й" and "ф", on the Q and A positions
  double y = intro.Cam.CamY;
  d.PressAt(SDL_SCANCODE_Q, shortI);
  EXPECT_EQ(intro.Cam.CamY, y + 10);
  d.PressAt(SDL_SCANCODE_A, ef);
  d.PressAt(SDL_SCANCODE_A, ef);
  EXPECT_EQ(intro.Cam.CamY, y - 10);
  d.PressAt(SDL_SCANCODE_SEMICOLON, SDLK_q);  // a Latin layout's Q key steers wherever it sits
  EXPECT_EQ(intro.Cam.CamY, y);
}

TEST_F(IntroTest, CameraDriftsByTheMouseOffsetEveryPass) {
  auto& intro = Open();
  intro.FramePass(INTRO::kDriftMs);  // the mouse never reached the box: a drift of 16 and 12
  EXPECT_EQ(intro.Cam.CamX, 216);
  EXPECT_EQ(intro.Cam.CamY, 212);
  intro.Pic_MouseMove(160.4, 121.5);
  intro.FramePass(INTRO::kDriftMs);
  EXPECT_EQ(intro.Cam.CamX, 216);
  EXPECT_DOUBLE_EQ(intro.Cam.CamY, 212 - 0.2);
}

// One second of the show at different pass rates: the landscape flies the same 300 map
// units, the line scrolls the same 128 pixels and the credit has stood the same time.
TEST_F(IntroTest, DistanceFlownAndScrollPerSecondDoNotDependOnThePassRate) {
  struct Second {
    double flown;
    int scrolled;
    int creditPhase;
  };
  auto runSecond = [&](int passes) {
    Forms::Unload<INTRO>();
    auto& intro = Open();
    intro.FramePass(0);  // the first credit comes up
    double x = intro.Cam.CamX, y = intro.Cam.CamY;
    int left = intro.Picture2.Left();
    for (int pass = 0; pass < passes; ++pass) intro.FramePass(1000.0 / passes);
    return Second{std::hypot(intro.Cam.CamX - x, intro.Cam.CamY - y), left - intro.Picture2.Left(), intro.CreditPhase};
  };
  for (int passes : {24, 30, 50, 60}) {
    Second second = runSecond(passes);
    EXPECT_NEAR(second.flown, 300, 1e-6) << passes;
    EXPECT_NEAR(second.scrolled, 64 * 30, 1) << passes;
    EXPECT_EQ(second.creditPhase, 31) << passes;
  }
}

// Each pass moves the line, so the places it takes in a second count the passes.
TEST_F(IntroTest, PassesFollowTheDisplayUpToSixtyASecondAndEachCreditStaysFiveSeconds) {
  auto& intro = Open();
  // Unknown at first, then the window goes to a 50 Hz display, then to a 144 Hz one; each
  // rate holds for 1.2 s, and the places are counted over its last second.
  const int rates[] = {0, 50, 144};
  std::set<int> places[3];
  for (int second = 0; second < 3; ++second) {
    const int from = kStartMs + 1200 * second;
    d.At(from + 50, [&, second] { d.Screen().refreshRate = rates[second]; });
    for (int ms = 200; ms < 1200; ++ms) d.At(from + ms, [&, second] { places[second].insert(intro.Picture2.Left()); });
  }
  int shownAt = 0;
  d.At(kStartMs + 1, [&] { shownAt = intro.CreditIndex; });
  RunLoop(5100, [&] {
    EXPECT_EQ(intro.CreditIndex, shownAt + 1);
    EXPECT_LT(intro.CreditPhase, 10);
  });
  for (int second = 0; second < 3; ++second) {
    size_t expected = rates[second] == 50 ? 50 : 60;
    EXPECT_GE(places[second].size(), expected - 1) << rates[second];
    EXPECT_LE(places[second].size(), expected + 1) << rates[second];
  }
  EXPECT_EQ(PassesPerSecond(-1), 60);  // a nonsense rate counts as unknown
  EXPECT_EQ(PassesPerSecond(24), 24);
}
// The intro plays on in another window: it is not against the clock.
TEST_F(IntroTest, IntroPlaysOnWhileThePlayerIsAway) {
  auto& intro = Open();
  d.Window(SDL_WINDOWEVENT_FOCUS_LOST);
  int passes = 0;
  d.At(kStartMs + 100, [&] { passes = intro.CreditPhase; });
  RunLoop(1100, [&] { passes = intro.CreditPhase - passes; });
  EXPECT_GE(passes, 29);
  d.Window(SDL_WINDOWEVENT_FOCUS_GAINED);
  EXPECT_FALSE(SDL_IsScreenSaverEnabled());  // the player watches
}

TEST_F(IntroTest, AClickOnTheTitleLineKeepsTheIntroOnlyTheLandscapeEndsIt) {
  auto& intro = Open();
  d.At(kStartMs + 300, [&] { d.Click(intro.TXT); });
  RunLoop(1000, [] {});
  EXPECT_TRUE(Forms::IsLoaded<INTRO>());
  EXPECT_FALSE(Forms::Get<Form1>().Visible());
}

TEST_F(IntroTest, LandscapeIsRenderedEveryPassUnlessNoVoxelIsSet) {
  for (const char* setting : {"1", "0", ""}) {
    d.SetSetting("NoVoxel", setting);
    WriteLandscape(dir);
    Forms::Unload<INTRO>();
    auto& intro = Open();
    ASSERT_TRUE(intro.VoxelReady());
    uint64_t start = intro.Pic.GetPicture().Version();
    uint64_t first = 0;
    d.At(kStartMs + 5, [&] { first = intro.Pic.GetPicture().Version(); });
    RunLoop(500, [&] {
      bool still = std::string(setting) == "1";
      EXPECT_NE(first, start) << setting;
      EXPECT_EQ(intro.Pic.GetPicture().Version() == first, still) << setting;
      EXPECT_EQ(intro.NoVoxelState, still ? 2 : 0);
      EXPECT_GT(intro.CreditPhase, 10);  // the credits run on
    });
  }
}

TEST_F(IntroTest, BadPicturesLeaveTheLandscapeBlackWhileTheCreditsRunOn) {
  auto expectBlack = [&](const std::string& why) {
    Forms::Unload<INTRO>();
    auto& intro = Open();
    EXPECT_FALSE(intro.VoxelReady()) << why;
    RunLoop(200, [&] {
      EXPECT_TRUE(intro.Image1.GetPicture().Empty()) << why;
      EXPECT_EQ(intro.TXT.Caption(), "Project: VarK") << why;
      EXPECT_GT(intro.CreditPhase, 5) << why;
    });
    EXPECT_EQ(d.Pixel(320, 200), 0x000000u) << why;
  };
  expectBlack("missing");
  WriteLandscape(dir);
  WriteBytePicture(dir, "gfx/height.gif", 512, 300, Hill);
  expectBlack("height map too small");
  WriteLandscape(dir);
  WriteBytePicture(dir, "gfx/title.gif", 200, 240, [](int, int) { return uint8_t{0}; });
  expectBlack("frame too small");
  WriteLandscape(dir);
  dir.WritePicture("gfx/texture.gif", 512, 512, 10, 200, 10);
  expectBlack("colour map not 8-bit");
}

TEST_F(IntroTest, ClickOnTheLandscapeOrAHiddenIntroReturnsToTheMenuWithItsMusic) {
  auto& menu = Forms::Get<Form1>();
  menu.Mus.SetFileName("Sfx\\Menu.mid");
  const std::vector<std::function<void(INTRO&)>> endings{[&](INTRO& intro) { d.Click(d.Find<Image>(intro, "Image1")); },
                                                         [](INTRO& intro) { intro.Hide(); }};
  for (size_t i = 0; i < endings.size(); ++i) {
    Forms::Show<INTRO>();
    d.At(kStartMs + 300, [&] { endings[i](Forms::Get<INTRO>()); });
    d.Advance(kStartMs + 1000);
    EXPECT_FALSE(Forms::IsLoaded<INTRO>()) << i;
    ASSERT_TRUE(Forms::IsLoaded<Form1>());
    EXPECT_TRUE(Forms::Get<Form1>().Visible()) << i;
    EXPECT_EQ(d.Sound().Plays("Menu.mid"), static_cast<int>(i + 1));
    d.Sound().Finish(menu.Mus.Channel());
  }
}

// Counts every other pixel of a screen area, in both directions, for which `match` holds.
int CountPixels(Driver& d, SDL_Rect area, const std::function<bool(uint32_t)>& match) {
  int count = 0;
  for (int y = area.y; y < area.y + area.h; y += 2)
    for (int x = area.x; x < area.x + area.w; x += 2) count += match(d.Pixel(x, y)) ? 1 : 0;
  return count;
}

// With the build's generated pictures: the cover hides all but the subtitle strip; then the
// landscape fills the screen behind the title, with both strips in front of it. Both
// screens are also saved, into the test's own folder, to show a real frame writes as PNG.
TEST_F(IntroTest, GeneratedLandscapeRunsBehindTheTitleAndBothStrips) {
  const std::filesystem::path data = VARK_GAME_DIR;
  if (!std::filesystem::exists(data / "Gfx" / "height.gif")) GTEST_SKIP() << "no generated data";
  dir.LinkGameData(data);
  auto& intro = Open();
  ASSERT_TRUE(intro.VoxelReady());
  const uint32_t subtitleGreen = 0xC0FFC0;
  auto isBlack = [](uint32_t p) { return p == 0; };
  d.At(1000, [&] {
    EXPECT_TRUE(d.SaveScreen((dir.Path() / "intro_cover.png").string()));
    EXPECT_GT(CountPixels(d, {0, 88, 640, 33}, [&](uint32_t p) { return p == subtitleGreen; }), 20);
    EXPECT_EQ(CountPixels(d, {0, 121, 640, 358}, isBlack), 320 * 179) << "something shows through the cover";
  });
  RunLoop(1500, [&] {
    EXPECT_TRUE(d.SaveScreen((dir.Path() / "intro_running.png").string()));
    uint32_t scrollColour =
        (intro.Label2.ForeColor().r << 16) | (intro.Label2.ForeColor().g << 8) | intro.Label2.ForeColor().b;
    std::set<uint32_t> landscape;
    for (int y = 130; y < 410; y += 5)
      for (int x = 0; x < 640; x += 7) landscape.insert(d.Pixel(x, y));
    EXPECT_GT(landscape.size(), 40u) << "the landscape looks blank";
    EXPECT_NE(d.Pixel(320, 405), d.Pixel(320, 125)) << "ground and sky alike";
    auto titleYellow = [](uint32_t p) { return (p >> 16) > 200 && ((p >> 8) & 0xFF) > 150 && (p & 0xFF) < 80; };
    EXPECT_GT(CountPixels(d, {0, 0, 640, 88}, titleYellow), 200) << "title not in front of the landscape";
    // The subtitle is short and centred: the strip's ends are black over the sky.
    EXPECT_EQ(CountPixels(d, {0, 88, 160, 33}, isBlack), 80 * 17) << "landscape through the subtitle strip";
    EXPECT_GT(CountPixels(d, {0, 420, 640, 25}, [&](uint32_t p) { return p == scrollColour; }), 50);
    // Dark colours of the line (blue) need a light edge to stand out from the black strip.
    auto lightGrey = [](uint32_t p) { return (p & 0xFF) > 100 && p == (p & 0xFF) * 0x010101; };
    if (scrollColour != 0xFFFFFF) {
      EXPECT_GT(CountPixels(d, {0, 420, 640, 25}, lightGrey), 5) << "no edge";
    }
  });
}

}  // namespace
}  // namespace vark
