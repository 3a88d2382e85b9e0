// A window's place (position and size, in desktop pixels): where the first window goes,
// and the place as the settings keep it.
#pragma once

#include <SDL.h>

#include <optional>
#include <string>

namespace vark {

// The first window, in `usable` (a display's area left free by panels): the largest whole
// multiple of 640 x 480 that fits with room for the window's frame, else the largest 4:3
// size that does, centred.
SDL_Rect FirstWindowPlace(const SDL_Rect& usable);
// A window's place (position and size) as the settings keep it: "x,y,width,height".
std::string WindowPlaceText(const SDL_Rect& place);
// The place written there; nothing when the text is not four whole numbers of sensible
// size (a hand-edited or damaged setting).
std::optional<SDL_Rect> ParseWindowPlace(const std::string& text);

}  // namespace vark
