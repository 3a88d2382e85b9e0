// Command keys. A letter key commands by the letter printed on it under a Latin layout
// (M is M on AZERTY and QWERTZ) and by its place under a layout of another script (the
// Russian layout's Ь key is M); digits, Escape and the arrows command by their place. Text
// typed into a text box still comes from text input, in the layout the player chose.
#pragma once

#include <SDL.h>

namespace vark {

// The key code a key means as a command: a Latin letter as the layout gives it; a letter
// of another script, a digit, Escape or an arrow as the US layout names its place; any
// other key keeps its layout's own code.
SDL_Keycode PositionalKey(SDL_Scancode position, SDL_Keycode layoutKey);

// Where the US layout puts a letter, digit, Escape or arrow key; SDL_SCANCODE_UNKNOWN for
// other keys (their codes do not depend on the layout).
SDL_Scancode PositionOf(SDL_Keycode usKey);

}  // namespace vark
