// Whether a window manager looks after the game's window.
#pragma once

#include <SDL.h>

#include <optional>
#include <vector>

namespace vark {

// False on an X display that no window manager runs (a kiosk, a bare test server), and for
// SDL's offscreen windows: there nobody answers SDL's full-screen request, so the window
// keeps its size unless the game gives it the display's. Other systems always have one.
bool WindowManagerRuns(SDL_Window* window);

// The monitors X shows now, by the window's connection: SDL drops a monitor from its list
// only when it is unplugged, not when it is switched off (xrandr --off). Empty where X's
// RandR cannot say (or not on X): SDL's list holds then.
std::vector<SDL_Rect> MonitorsShown(SDL_Window* window);
// Whether a window system's event (SDL_SYSWMEVENT) says that the monitors changed.
bool MonitorsChanged(const SDL_SysWMmsg& message);

// The part of a monitor that no panel reserves, by the panels' own reservations (their
// partial struts): X's single work area reserves a panel's band across the whole screen,
// so a panel along the bottom of a shorter monitor cuts a taller one beside it as well.
// Nothing where the window manager lists no windows (or not on X): SDL's usable area holds.
std::optional<SDL_Rect> AreaNoPanelCovers(const SDL_Rect& monitor);

// Lets the X screensaver start again after SDL_EnableScreenSaver. SDL suspends it through
// the X extension, but its way back returns early when it holds no D-Bus inhibition, so on
// a plain X desktop the suspension would stay for the whole run. Lifting a suspension the
// game's connection does not hold changes nothing.
void LetXScreenSaverRun(SDL_Window* window);

// Another program may destroy the game's window (xdotool windowclose, a killed window
// manager's clients): X then reports errors about it, which Xlib's default handler answers
// by ending the program. From here on "no such window" errors about the game's window are
// passed over; other errors go on as before.
void EndGameWhenWindowDestroyed(SDL_Window* window);
// Whether a window system's event (SDL_SYSWMEVENT) says that the game's window was
// destroyed, by another program: the game then ends as a close request would end it.
bool WindowDestroyedBy(const SDL_SysWMmsg& message);
// Puts the game's X error handler in place before SDL starts: SDL keeps the handler it
// finds and puts it back when it quits, just before it closes its connections, where the
// last errors about a destroyed window arrive.
void HearXErrorsFirst();
// The game is about to destroy its window. When another program destroyed it already, SDL
// would wait for ever for the news that it was hidden, which X never sends for a window
// that is gone: that news is put in front of SDL's queue.
void BeforeDestroyingWindow();
// The game destroyed its window: X's answers about it are waited for while the handler
// above still hears them (SDL puts Xlib's own handler back before it closes the display).
void WindowDestroyed();

}  // namespace vark
