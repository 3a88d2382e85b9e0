#include "platform/video/window_manager.h"

namespace vark {

// The browser is the page's window manager: it answers every full-screen request.
bool WindowManagerRuns(SDL_Window*) { return true; }

// The page has no X: SDL's own list of displays and their usable areas hold, the browser
// keeps its own screensaver rules, and the page's canvas is never destroyed by another
// program.
std::vector<SDL_Rect> MonitorsShown(SDL_Window*) { return {}; }
bool MonitorsChanged(const SDL_SysWMmsg&) { return false; }
std::optional<SDL_Rect> AreaNoPanelCovers(const SDL_Rect&) { return std::nullopt; }
void LetXScreenSaverRun(SDL_Window*) {}
void EndGameWhenWindowDestroyed(SDL_Window*) {}
bool WindowDestroyedBy(const SDL_SysWMmsg&) { return false; }
void HearXErrorsFirst() {}
void BeforeDestroyingWindow() {}
void WindowDestroyed() {}

}  // namespace vark
