// Game controllers, through SDL's game controller layer (any pad it knows, or that the
// mapping database named by the SDL_GameControllerDB environment variable describes).
// Controllers may come and go while the game runs, several at once; any of them drives.
// Their buttons become the keys they stand for, so every screen reads them as keys:
//   A, X, Y      Enter (press the focused control; accept; fire)
//   B            Escape
//   Start        the Pause key on a screen that pauses while the player is away (the
//                shooter, the memory game), Escape elsewhere
//   Back         the mute key (the shooter's sound switch, like M)
//   LB, RB       Page Up, Page Down (the intro's height)
//   triggers     Space (fire)
//   D-pad, left stick   the arrow keys, repeated while held
// The D-pad, the left stick and the keyboard's arrow keys also steer (the shooter's
// cannon). Nothing here runs while nothing is touched: a held direction repeats on a timer
// that runs only while it is held.
#pragma once

#include <SDL.h>

namespace vark {

// Starts the controller layer and reads the controller mappings named by
// SDL_GameControllerDB and SDL_GAMECONTROLLERCONFIG_FILE, each only when it is a plain
// file of at most 1 MB (anything else gets a line on stderr); false (with a line on stderr) when it is unavailable, and
// the game goes on without controllers.
bool InitControllers();
void ShutdownControllers();

// A controller's event (plugged in or out, a button, a stick, a trigger); false for any
// other event.
bool HandleControllerEvent(const SDL_Event& e);

// The keyboard's arrow keys held down or let go (they steer).
void SteerWithKeyboard(const SDL_KeyboardEvent& key);

// How many controllers are open now.
int OpenControllers();

// How the player steers now, from -1 (full left) to 1 (full right).
double SteerX();

}  // namespace vark
