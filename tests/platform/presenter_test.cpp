// Showing the picture: where it goes in windows of any shape, that scaling only the
// changed part gives the same pixels as scaling everything, that window points map back
// to the picture, and how screens' mode requests meet the player's full-screen choice.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "platform/display.h"
#include "platform/owned.h"
#include "platform/presenter.h"
#include "platform/screen.h"
#include "support/driver.h"

namespace vark {
namespace {

OwnedSurface Surface(int w, int h) {
  return OwnedSurface(SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888));
}

Uint32& At(SDL_Surface* s, int x, int y) { return static_cast<Uint32*>(s->pixels)[y * s->pitch / 4 + x]; }

OwnedSurface Pattern(int w, int h) {
  OwnedSurface s = Surface(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) At(s.get(), x, y) = 0xFF000000u | static_cast<Uint32>(x * 4099 + y * 131);
  return s;
}

bool SamePixels(SDL_Surface* a, SDL_Surface* b) {
  for (int y = 0; y < a->h; ++y)
    for (int x = 0; x < a->w; ++x)
      if (At(a, x, y) != At(b, x, y)) return false;
  return true;
}

TEST(Presenting, ThePictureFillsTheOutputWithItsShapeKeptAndCentred) {
  auto same = [](SDL_Rect a, SDL_Rect b) { return SDL_RectEquals(&a, &b); };
  EXPECT_TRUE(same(FitInto(640, 480, 1280, 1024), {0, 32, 1280, 960}));
  EXPECT_TRUE(same(FitInto(640, 480, 1920, 1080), {240, 0, 1440, 1080}));
  EXPECT_TRUE(same(FitInto(640, 480, 960, 720), {0, 0, 960, 720}));
  EXPECT_TRUE(same(FitInto(640, 480, 0, 720), {0, 0, 0, 0}));
}

TEST(Presenting, ScalingTheChangedPartsGivesThePixelsOfScalingEverything) {
  OwnedSurface picture = Pattern(640, 480);
  for (SDL_Rect box : {SDL_Rect{240, 0, 1440, 1080}, SDL_Rect{3, 5, 500, 375}, SDL_Rect{0, 32, 1280, 960}}) {
    OwnedSurface whole = Surface(box.x + box.w + 7, box.y + box.h + 7);
    OwnedSurface parts = Surface(whole->w, whole->h);
    SDL_FillRect(whole.get(), nullptr, 0);
    SDL_FillRect(parts.get(), nullptr, 0);
    PixelScaler scaler;
    scaler.Layout(640, 480, box);
    SDL_Rect all = scaler.Scale(*picture, *whole, {0, 0, 640, 480});
    EXPECT_TRUE(SDL_RectEquals(&all, &box));
    // A tile, a thin line, a single pixel and the rest in two halves.
    for (SDL_Rect part : {SDL_Rect{96, 8, 81, 105}, SDL_Rect{0, 239, 640, 1}, SDL_Rect{639, 479, 1, 1},
                          SDL_Rect{0, 0, 320, 480}, SDL_Rect{320, 0, 320, 480}}) {
      SDL_Rect shown = scaler.Scale(*picture, *parts, part), joined;
      SDL_UnionRect(&shown, &box, &joined);
      EXPECT_TRUE(SDL_RectEquals(&joined, &box)) << box.w;
    }
    EXPECT_TRUE(SamePixels(whole.get(), parts.get())) << box.w << "x" << box.h;
    EXPECT_EQ(At(parts.get(), box.x + box.w + 3, box.y + box.h + 3), 0u);  // nothing drawn beyond the box
  }
}

TEST(Presenting, OnlyTheChangedAreaOfTheWindowIsRedrawn) {
  OwnedSurface picture = Pattern(640, 480);
  OwnedSurface target = Surface(1280, 1024);
  SDL_FillRect(target.get(), nullptr, 0);
  PixelScaler scaler;
  scaler.Layout(640, 480, FitInto(640, 480, 1280, 1024));
  SDL_Rect shown = scaler.Scale(*picture, *target, {96, 8, 81, 105});
  const SDL_Rect tile{192, 48, 162, 210};
  EXPECT_TRUE(SDL_RectEquals(&shown, &tile));
  EXPECT_EQ(At(target.get(), 192, 48), At(picture.get(), 96, 8));
  EXPECT_EQ(At(target.get(), 353, 257), At(picture.get(), 176, 112));
  EXPECT_EQ(At(target.get(), 191, 48), 0u);
  EXPECT_EQ(At(target.get(), 354, 257), 0u);
}

TEST(Presenting, TheWindowShowsThePictureAndItsPointsMapBack) {
  Driver d;  // SDL's offscreen video: a window with pixels of its own
  setenv("VARK_PRESENT", "surface", 1);
  OwnedWindow window(SDL_CreateWindow("t", 0, 0, 1000, 600, SDL_WINDOW_HIDDEN));
  ASSERT_NE(window, nullptr);
  auto presenter = Presenter::Make(window.get());
  unsetenv("VARK_PRESENT");
  EXPECT_STREQ(presenter->Name(), "window surface");
  OwnedSurface picture = Pattern(640, 480);
  presenter->Show(*picture, {0, 0, 1, 1});  // the first showing fills the window whatever changed
  SDL_Surface* shown = SDL_GetWindowSurface(window.get());
  ASSERT_NE(shown, nullptr);
  // 800 x 600 in the middle: 100 pixels of black bar each side.
  EXPECT_EQ(At(shown, 50, 300) & 0xFFFFFFu, 0u);
  EXPECT_EQ(At(shown, 100, 0) & 0xFFFFFFu, At(picture.get(), 0, 0) & 0xFFFFFFu);
  EXPECT_EQ(At(shown, 899, 599) & 0xFFFFFFu, At(picture.get(), 639, 479) & 0xFFFFFFu);
  auto mapped = [&](int x, int y) {
    SDL_Point p = presenter->ToPicture(x, y);
    return std::make_pair(p.x, p.y);
  };
  EXPECT_EQ(mapped(100, 0), std::make_pair(0, 0));
  EXPECT_EQ(mapped(899, 599), std::make_pair(639, 479));
  EXPECT_EQ(mapped(500, 300), std::make_pair(320, 240));
  EXPECT_LT(mapped(50, 300).first, 0);  // over the left bar: outside the picture
  presenter.reset();                    // before the window it shows into
}

TEST(DisplayModes, ScreensAskingFor640x480KeepThePlayersWindowAndTheDesktopIsRemembered) {
  Driver d;  // no window; the player chose a window
  SetDisplayService(MakeScaledDisplay());
  EXPECT_EQ(Display().Current(), DesktopMode());  // before any switch: the desktop's own mode
  Display().Change({640, 480, 16});
  EXPECT_EQ(Display().Current(), (DisplayMode{640, 480, 16}));
  EXPECT_FALSE(Screen::Get().Fullscreen());
  Screen::Get().SetFullscreen(true);  // Alt+Enter
  Display().Change(DesktopMode());    // leaving: the desktop as it was
  EXPECT_FALSE(Screen::Get().Fullscreen());
  Display().Change({640, 480, 32});  // the player's full screen comes back
  EXPECT_TRUE(Screen::Get().Fullscreen());
  Screen::Get().SetFullscreen(false);
  Display().Change({640, 480, 32});
  EXPECT_FALSE(Screen::Get().Fullscreen());
}

}  // namespace
}  // namespace vark
