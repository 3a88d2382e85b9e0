// Keys by where they sit on the keyboard. A key that commands something (a letter, a
// digit, Escape, an arrow) means the same under every layout: the Q position steers the
// intro whether the layout types "q" or "й". Text typed into a text box still comes from
// text input, in the layout the player chose.
#pragma once

#include <SDL.h>

namespace vark {

// The key code a key means as a command: for letters, digits, Escape and the arrows the
// code the US layout gives its position; any other key keeps its layout's own code.
SDL_Keycode PositionalKey(SDL_Scancode position, SDL_Keycode layoutKey);

// Where the US layout puts a letter, digit, Escape or arrow key; SDL_SCANCODE_UNKNOWN for
// other keys (their codes do not depend on the layout).
SDL_Scancode PositionOf(SDL_Keycode usKey);

}  // namespace vark
