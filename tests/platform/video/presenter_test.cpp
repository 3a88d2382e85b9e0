// Showing the picture: where it goes in windows of any shape, that scaling only the
// changed part gives the same pixels as scaling everything (also smoothly, as the intro's
// landscape is), that window points map back to the picture, and how screens' mode
// requests meet the player's full-screen choice.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cmath>

#include "platform/base/owned.h"
#include "platform/forms/screen.h"
#include "platform/video/display.h"
#include "platform/video/presenter.h"
#include "platform/video/smooth_scale.h"
#include "platform/video/window.h"
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

// An 8-bit picture whose palette is a colour ramp, so neighbours differ in every channel.
OwnedSurface PalettePattern(int w, int h) {
  OwnedSurface s(SDL_CreateRGBSurfaceWithFormat(0, w, h, 8, SDL_PIXELFORMAT_INDEX8));
  SDL_Color colours[256];
  for (int i = 0; i < 256; ++i)
    colours[i] = SDL_Color{static_cast<Uint8>(i), static_cast<Uint8>(255 - i), static_cast<Uint8>(i * 7), 255};
  SDL_SetPaletteColors(s->format->palette, colours, 0, 256);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) static_cast<Uint8*>(s->pixels)[y * s->pitch + x] = static_cast<Uint8>(x * 37 + y * 11);
  return s;
}

// Smooth scaling written the obvious way: the target pixel's centre in picture
// coordinates, the four pixels around it weighted by closeness, in floating point.
Uint32 SmoothPixel(const SDL_Surface* picture, const SDL_Rect& box, int x, int y) {
  auto place = [](int t, int boxLength, int pictureLength) {
    return std::clamp((t + 0.5) * pictureLength / boxLength - 0.5, 0.0, pictureLength - 1.0);
  };
  double px = place(x - box.x, box.w, picture->w), py = place(y - box.y, box.h, picture->h);
  int x0 = static_cast<int>(px), y0 = static_cast<int>(py);
  int x1 = std::min(x0 + 1, picture->w - 1), y1 = std::min(y0 + 1, picture->h - 1);
  double fx = px - x0, fy = py - y0;
  auto colour = [&](int cx, int cy) {
    return picture->format->palette->colors[static_cast<Uint8*>(picture->pixels)[cy * picture->pitch + cx]];
  };
  auto channel = [&](Uint8 SDL_Color::*c) {
    double top = colour(x0, y0).*c * (1 - fx) + colour(x1, y0).*c * fx;
    double bottom = colour(x0, y1).*c * (1 - fx) + colour(x1, y1).*c * fx;
    return static_cast<Uint32>(std::lround(top * (1 - fy) + bottom * fy));
  };
  return 0xFF000000u | channel(&SDL_Color::r) << 16 | channel(&SDL_Color::g) << 8 | channel(&SDL_Color::b);
}

int LargestChannelGap(Uint32 a, Uint32 b) {
  int gap = 0;
  for (int shift = 0; shift < 32; shift += 8)
    gap = std::max(gap, std::abs(static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF)));
  return gap;
}

TEST(Presenting, SmoothScalingMixesTheNearestPixelsAndGivesTheSamePixelsPartByPart) {
  OwnedSurface picture = PalettePattern(32, 24);
  // The intro's shape (a little over twice as wide, less than twice as high), shrinking,
  // and a box reaching beyond the target.
  for (SDL_Rect box : {SDL_Rect{3, 2, 65, 41}, SDL_Rect{1, 1, 20, 13}, SDL_Rect{-7, 5, 90, 70}}) {
    OwnedSurface whole = Surface(80, 60);
    OwnedSurface parts = Surface(80, 60);
    SDL_FillRect(whole.get(), nullptr, 0);
    SDL_FillRect(parts.get(), nullptr, 0);
    ASSERT_TRUE(CanScaleSmoothly(*picture, *whole));
    ScaleSmoothly(*picture, *whole, box, {0, 0, 80, 60});
    for (SDL_Rect part : {SDL_Rect{0, 0, 80, 9}, SDL_Rect{0, 9, 37, 51}, SDL_Rect{37, 9, 1, 1},
                          SDL_Rect{37, 10, 43, 50}, SDL_Rect{38, 9, 42, 1}})
      ScaleSmoothly(*picture, *parts, box, part);
    EXPECT_TRUE(SamePixels(whole.get(), parts.get())) << box.w << "x" << box.h;
    int worst = 0;
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 80; ++x) {
        SDL_Point p{x, y};
        Uint32 expected = SDL_PointInRect(&p, &box) ? SmoothPixel(picture.get(), box, x, y) : 0u;
        worst = std::max(worst, LargestChannelGap(At(whole.get(), x, y), expected));
      }
    EXPECT_LE(worst, 1) << box.w << "x" << box.h;  // the mixing rounds twice, in 256ths
  }
  // A picture with a see-through colour, or with transparency in its palette, is left to
  // the general way, which blends it.
  OwnedSurface target = Surface(80, 60);
  SDL_SetColorKey(picture.get(), SDL_TRUE, 0);
  EXPECT_FALSE(CanScaleSmoothly(*picture, *target));
  SDL_SetColorKey(picture.get(), SDL_FALSE, 0);
  picture->format->palette->colors[5].a = 128;
  EXPECT_FALSE(CanScaleSmoothly(*picture, *target));
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
  EXPECT_FALSE(GameWindow::Get().Fullscreen());
  GameWindow::Get().SetFullscreen(true);  // Alt+Enter
  Display().Change(DesktopMode());        // leaving: the desktop as it was
  EXPECT_FALSE(GameWindow::Get().Fullscreen());
  Display().Change({640, 480, 32});  // the player's full screen comes back
  EXPECT_TRUE(GameWindow::Get().Fullscreen());
  GameWindow::Get().SetFullscreen(false);
  Display().Change({640, 480, 32});
  EXPECT_FALSE(GameWindow::Get().Fullscreen());
}

}  // namespace
}  // namespace vark
