// How the desktop recognises the game's windows: the class the desktop entry expects and
// the icon picture in the data folder.
#include "platform/video/window_identity.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/video/picture.h"
#include "support/driver.h"

namespace vark {
namespace {

TEST(WindowIdentity, TheDesktopEntryExpectsTheClassTheWindowsGet) {
  std::ifstream entry(VARK_SOURCE_DIR "/packaging/vark.desktop");
  ASSERT_TRUE(entry) << "no desktop entry";
  std::string line, startupClass;
  while (std::getline(entry, line))
    if (line.starts_with("StartupWMClass=")) startupClass = line.substr(line.find('=') + 1);
  EXPECT_EQ(startupClass, kGameWindowClass);
}

TEST(WindowIdentity, TheClassIsTheGamesUnlessTheStarterGaveOne) {
  const char* const variables[] = {"SDL_VIDEO_X11_WMCLASS", "SDL_VIDEO_WAYLAND_WMCLASS"};
  for (const char* name : variables) unsetenv(name);
  NameWindowsAfterGame();
  for (const char* name : variables) EXPECT_STREQ(std::getenv(name), kGameWindowClass) << name;

  setenv("SDL_VIDEO_X11_WMCLASS", "kiosk", 1);
  NameWindowsAfterGame();
  EXPECT_STREQ(std::getenv("SDL_VIDEO_X11_WMCLASS"), "kiosk");
  for (const char* name : variables) unsetenv(name);
}

TEST(WindowIdentity, TheIconIsInTheDataFolderWithATransparentBackground) {
  TempFolder folder;
  folder.LinkGameData(VARK_GAME_DIR);
  Picture icon = Picture::Load("vark.png");
  ASSERT_FALSE(icon.Empty());
  EXPECT_EQ(icon.WidthPx(), 64);
  EXPECT_EQ(icon.HeightPx(), 64);
  SDL_Surface* argb = icon.Argb();
  auto alphaAt = [argb](int x, int y) {
    Uint32 pixel = static_cast<const Uint32*>(argb->pixels)[y * argb->pitch / 4 + x];
    return pixel >> 24;
  };
  EXPECT_EQ(alphaAt(0, 0), 0u) << "the corner should let the taskbar show through";
  EXPECT_EQ(alphaAt(32, 32), 255u) << "the middle should be the picture";
}

}  // namespace
}  // namespace vark
