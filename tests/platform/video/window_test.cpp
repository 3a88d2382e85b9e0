// The game's window on the desktop: its first size, its place kept across full screen and
// remembered in the settings, and what the display does for the screen in front (the
// screensaver, the pointer on the game's monitor).
#include <gtest/gtest.h>

#include "platform/forms/screen.h"
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

// SDL's offscreen display (1024 x 768) stands for the desktop.
TEST(Window, FullScreenAndBackKeepsThePlaceAndSizeTheWindowHad) {
  Driver d;
  Screen& screen = Screen::Get();
  screen.Shutdown();
  GameWindow::Get().SetPlace({100, 50, 800, 600});
  screen.Init(true, false);
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
  Screen& screen = Screen::Get();
  screen.Shutdown();
  GameWindow::Get().SetPlace({-5000, -5000, 800, 600});
  screen.Init(true, false);
  EXPECT_EQ(Text(GameWindow::Get().Place()), "192,144,640,480");
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
