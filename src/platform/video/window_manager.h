// Whether a window manager looks after the game's window.
#pragma once

#include <SDL.h>

namespace vark {

// False only on an X display that no window manager runs (a kiosk, a bare test server):
// there nobody answers SDL's full-screen request, so the window keeps its size unless the
// game gives it the display's. Other systems always have one.
bool WindowManagerRuns(SDL_Window* window);

}  // namespace vark
