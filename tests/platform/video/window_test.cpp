// The game's window on the desktop: its first size, its place kept across full screen and
// remembered in the settings, and what the display does for the screen in front (the
// screensaver, the pointer on the game's monitor).
#include <gtest/gtest.h>

#include <vector>

#include "platform/forms/screen.h"
#include "platform/input/input_router.h"
#include "platform/runtime/app.h"
#include "platform/video/display.h"
#include "platform/video/window.h"
#include "platform/video/window_place.h"
#include "support/driver.h"

namespace vark {
namespace {

// Places compared as the settings write them: "x,y,width,height".
std::string Text(const SDL_Rect& r) { return WindowPlaceText(r); }

class Stage : public Form {
 public:
  Stage() : Form("Stage") {}
  Activity CurrentActivity() const override { return doing; }
  Activity doing = Activity::Idle;
};

// The window opened again with a remembered place, as the game opens it at start.
void OpenWindowAt(const SDL_Rect& place) {
  Screen::Get().Shutdown();
  GameWindow::Get().SetPlace(place);
  Screen::Get().Init(true, false);
}

TEST(Window, FirstWindowIsTheLargestWholeMultipleThatFitsElseTheLargest4By3) {
  EXPECT_EQ(Text(FirstWindowPlace({0, 0, 1920, 1050})), "320,45,1280,960");
  EXPECT_EQ(Text(FirstWindowPlace({0, 0, 3840, 2160})), "640,120,2560,1920");
  EXPECT_EQ(Text(FirstWindowPlace({0, 0, 1280, 1024})), "320,272,640,480");  // no room for a frame at 2x
  EXPECT_EQ(Text(FirstWindowPlace({0, 0, 640, 480})), "43,32,554,416");
  EXPECT_EQ(Text(FirstWindowPlace({1920, 30, 1920, 1050})), "2240,75,1280,960");  // a second monitor
}

TEST(Window, PlaceSettingReadsBackAndNonsenseIsRefused) {
  const SDL_Rect place{-1200, 35, 1280, 960};
  EXPECT_EQ(WindowPlaceText(place), "-1200,35,1280,960");
  ASSERT_TRUE(ParseWindowPlace(WindowPlaceText(place)));
  EXPECT_EQ(Text(*ParseWindowPlace(WindowPlaceText(place))), Text(place));
  for (const char* nonsense : {"", "1,2,3", "1,2,640,480,5", "a,b,c,d", "1, 2,640,480", "0,0,0,480", "0,0,99999,480",
                               "99999999999,0,640,480", "0,0,640,480 "})
    EXPECT_FALSE(ParseWindowPlace(nonsense)) << nonsense;
}

// A remembered place is taken on the display that shows its top, no larger than that
// display; one no display shows is not taken at all.
TEST(Window, RememberedPlaceIsFittedToTheDisplaysThereAre) {
  const std::vector<SDL_Rect> two{{0, 0, 1280, 1024}, {1280, 0, 1024, 768}};
  auto fitted = [&](const SDL_Rect& place) {
    auto on = PlaceOnDisplays(place, two);
    return on ? Text(*on) : "none";
  };
  EXPECT_EQ(fitted({100, 50, 800, 600}), "100,50,800,600");
  EXPECT_EQ(fitted({1000, 50, 800, 600}), "1000,50,800,600");  // partly on the next monitor, as the player left it
  EXPECT_EQ(fitted({1400, 100, 800, 600}), "1400,100,800,600");
  EXPECT_EQ(fitted({0, 0, 16384, 16384}), "0,0,1280,1024");
  EXPECT_EQ(fitted({1300, 100, 4000, 700}), "1280,100,1024,700");  // narrowed and moved onto its display
  EXPECT_EQ(fitted({1300, 700, 900, 900}), "1300,0,900,768");
  EXPECT_EQ(fitted({-5000, -5000, 800, 600}), "none");
  EXPECT_EQ(fitted({1500, 900, 800, 600}), "none");  // below the right monitor, in no monitor's area
  EXPECT_EQ(fitted({2280, 10, 800, 600}), "none");   // too little of its top to grab
}

// A panel along the bottom of a shorter monitor reserves a band as deep as the whole
// screen is tall, but only over its own monitor: the taller monitor beside it stays free
// and gets a first window twice the screen's size.
TEST(Window, APanelCutsOnlyTheMonitorItRunsAlong) {
  const SDL_Rect left{0, 0, 1280, 1024}, right{1280, 0, 1920, 1080};
  const long rootW = 3200, rootH = 1080;
  const PanelStrut taskbar{0, 0, 0, 86, 0, 0, 0, 0, 0, 0, 0, 1279};  // 30 px tall on the left monitor
  EXPECT_EQ(Text(AreaLeftByPanel(left, taskbar, rootW, rootH)), "0,0,1280,994");
  EXPECT_EQ(Text(AreaLeftByPanel(right, taskbar, rootW, rootH)), "1280,0,1920,1080");
  EXPECT_EQ(Text(FirstWindowPlace(AreaLeftByPanel(right, taskbar, rootW, rootH))), "1600,60,1280,960");
  const PanelStrut dock{0, 64, 0, 0, 0, 0, 0, 1079, 0, 0, 0, 0};  // along the right edge of the screen
  EXPECT_EQ(Text(AreaLeftByPanel(left, dock, rootW, rootH)), "0,0,1280,1024");
  EXPECT_EQ(Text(AreaLeftByPanel(right, dock, rootW, rootH)), "1280,0,1856,1080");
  const PanelStrut topBar{0, 0, 28, 0, 0, 0, 0, 0, 0, 3199, 0, 0};  // across the whole top
  EXPECT_EQ(Text(AreaLeftByPanel(right, topBar, rootW, rootH)), "1280,28,1920,1052");
}

// The hostile place of a damaged settings file opens a window no larger than the display.
TEST(Window, HugeRememberedPlaceOpensNoLargerThanItsDisplay) {
  Driver d;
  OpenWindowAt({0, 0, 16384, 16384});
  EXPECT_EQ(Text(GameWindow::Get().Place()), "0,0,1024,768");
  int w = 0, h = 0;
  SDL_GetWindowSize(GameWindow::Get().Handle(), &w, &h);
  EXPECT_LE(w, 1024);
  EXPECT_LE(h, 768);
}

// SDL's offscreen display (1024 x 768) stands for the desktop.
TEST(Window, FullScreenAndBackKeepsThePlaceAndSizeTheWindowHad) {
  Driver d;
  OpenWindowAt({100, 50, 800, 600});
  Forms::Show<Stage>();
  d.Advance(20);
  SDL_Window* window = GameWindow::Get().Handle();
  ASSERT_NE(window, nullptr);
  auto box = [&] {
    SDL_Rect r;
    SDL_GetWindowPosition(window, &r.x, &r.y);
    SDL_GetWindowSize(window, &r.w, &r.h);
    return r;
  };
  EXPECT_EQ(Text(box()), "100,50,800,600");
  EXPECT_TRUE(SDL_GetWindowFlags(window) & SDL_WINDOW_RESIZABLE);
  SDL_SetWindowSize(window, 1000, 750);  // the player makes it larger
  d.Window(SDL_WINDOWEVENT_SIZE_CHANGED);
  EXPECT_EQ(Text(GameWindow::Get().Place()), "100,50,1000,750");
  d.Press(SDLK_RETURN, KMOD_LALT);
  EXPECT_EQ(SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP, SDL_WINDOW_FULLSCREEN_DESKTOP);
  d.Window(SDL_WINDOWEVENT_SIZE_CHANGED);
  d.Window(SDL_WINDOWEVENT_MOVED);
  EXPECT_EQ(Text(GameWindow::Get().Place()), "100,50,1000,750");  // full screen is not the window's place
  d.Press(SDLK_RETURN, KMOD_LALT);
  EXPECT_EQ(SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
  EXPECT_EQ(Text(box()), "100,50,1000,750");
}

TEST(Window, RememberedPlaceNoDisplayShowsGivesAFirstWindow) {
  Driver d;
  OpenWindowAt({-5000, -5000, 800, 600});
  EXPECT_EQ(Text(GameWindow::Get().Place()), "192,144,640,480");
}

// A held key repeats: Alt+Enter switches once however long it is held.
TEST(Window, HeldAltEnterSwitchesOnce) {
  Driver d;
  Forms::Show<Stage>();
  const bool before = GameWindow::Get().Fullscreen();
  for (bool repeat : {false, true, true, true}) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.repeat = repeat;
    e.key.keysym.sym = SDLK_RETURN;
    e.key.keysym.scancode = SDL_SCANCODE_RETURN;
    e.key.keysym.mod = KMOD_LALT;
    App::Get().Dispatch([&] { InputRouter::Get().HandleEvent(e); });
  }
  EXPECT_NE(GameWindow::Get().Fullscreen(), before);
}

TEST(Window, ScreensaverIsHeldOffOnlyWhileTheFrontScreenIsBusyAndThePlayerIsThere) {
  Driver d;
  auto& stage = Forms::Show<Stage>();
  auto after = [&](Activity doing) {
    stage.doing = doing;
    d.Advance(1);
    return SDL_IsScreenSaverEnabled() == SDL_TRUE;
  };
  EXPECT_TRUE(after(Activity::Idle));
  EXPECT_FALSE(after(Activity::Watched));
  EXPECT_FALSE(after(Activity::Round));
  d.Window(SDL_WINDOWEVENT_FOCUS_LOST);
  EXPECT_TRUE(after(Activity::Round));
  d.Window(SDL_WINDOWEVENT_FOCUS_GAINED);
  EXPECT_FALSE(after(Activity::Round));
  d.Window(SDL_WINDOWEVENT_MINIMIZED);
  EXPECT_TRUE(after(Activity::Round));
  d.Window(SDL_WINDOWEVENT_RESTORED);
  EXPECT_TRUE(after(Activity::Idle));
}

TEST(Window, PointerStaysOnTheGamesMonitorOnlyInAFullScreenSteeredRound) {
  Driver d;
  auto& stage = Forms::Show<Stage>();
  stage.doing = Activity::SteeredRound;
  d.Advance(1);
  EXPECT_FALSE(GameWindow::Get().PointerConfined());  // a window
  d.Press(SDLK_RETURN, KMOD_LALT);
  EXPECT_TRUE(GameWindow::Get().PointerConfined());
  d.Window(SDL_WINDOWEVENT_FOCUS_LOST);
  EXPECT_FALSE(GameWindow::Get().PointerConfined());
  d.Window(SDL_WINDOWEVENT_FOCUS_GAINED);
  stage.doing = Activity::Round;
  d.Advance(1);
  EXPECT_FALSE(GameWindow::Get().PointerConfined());
}

}  // namespace
}  // namespace vark
