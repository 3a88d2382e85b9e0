// How the desktop recognises the game's windows: by their class, which the desktop entry
// names as its StartupWMClass, and by their icon, so that taskbars and window switchers
// show the game's name and picture for the game and for its set-up program alike.
#pragma once

struct SDL_Window;

namespace vark {

// The class of the game's windows; the desktop entry names it as StartupWMClass.
inline constexpr const char* kGameWindowClass = "vark";

// Gives every window of this program the game's window class. Call before video starts:
// SDL reads it once, when video starts. A class given in SDL_VIDEO_X11_WMCLASS or
// SDL_VIDEO_WAYLAND_WMCLASS by whoever started the program is kept.
void NameWindowsAfterGame();

// Gives the window the game's icon, the picture "vark.png" of the data folder. A missing
// or damaged icon leaves the desktop's default icon (and a line on stderr).
void SetGameWindowIcon(SDL_Window* window);

}  // namespace vark
