// A window's place (position and size, in desktop pixels): where the first window goes,
// and the place as the settings keep it.
#pragma once

#include <SDL.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace vark {

// The first window, in `usable` (a display's area left free by panels): the largest whole
// multiple of 640 x 480 that fits with room for the window's frame, else the largest 4:3
// size that does, centred.
SDL_Rect FirstWindowPlace(const SDL_Rect& usable);
// A remembered place on the displays there are now (their bounds): the display that shows
// the top of the window, enough to grab and move it, keeps it, no larger than that display
// (moved onto it when it had to shrink); nothing when no display shows it.
std::optional<SDL_Rect> PlaceOnDisplays(const SDL_Rect& place, const std::vector<SDL_Rect>& displays);
// The bounds of the displays there are now, in SDL's order.
std::vector<SDL_Rect> DisplayBounds();
// A panel's reservation along the edges of the whole screen (a partial strut, as the desktop
// standards give it): the widths at the left, right, top and bottom, then the first and last
// row or column of each of those four bands.
using PanelStrut = std::array<long, 12>;
// What a panel leaves free of `area` (a monitor) on a screen of rootW x rootH: a band cuts
// the monitor only where it runs along it.
SDL_Rect AreaLeftByPanel(const SDL_Rect& area, const PanelStrut& strut, long rootW, long rootH);

// A window's place (position and size) as the settings keep it: "x,y,width,height".
std::string WindowPlaceText(const SDL_Rect& place);
// The place written there; nothing when the text is not four whole numbers of sensible
// size (a hand-edited or damaged setting).
std::optional<SDL_Rect> ParseWindowPlace(const std::string& text);

}  // namespace vark
