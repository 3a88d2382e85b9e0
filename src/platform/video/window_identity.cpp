#include "platform/video/window_identity.h"

#include <SDL.h>

#include <cstdlib>

#include "platform/video/picture.h"

namespace vark {

namespace {

constexpr const char* kIconPicture = "vark.png";

}  // namespace

void NameWindowsAfterGame() {
  // SDL names X11 windows after the program file otherwise, which gives the set-up
  // program a class of its own; Wayland takes the same name as the application id.
  setenv("SDL_VIDEO_X11_WMCLASS", kGameWindowClass, 0);
  setenv("SDL_VIDEO_WAYLAND_WMCLASS", kGameWindowClass, 0);
}

void SetGameWindowIcon(SDL_Window* window) {
  Picture icon = Picture::Load(kIconPicture);
  if (!icon.Empty()) SDL_SetWindowIcon(window, icon.Raw());
}

}  // namespace vark
