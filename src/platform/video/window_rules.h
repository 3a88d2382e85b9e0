// Who sizes the game's window. On the desktop the player and the window manager do: the
// window opens at a remembered or first place, can be resized, and goes full screen on
// Alt+Enter (window_rules.cpp). In the browser the window is the page's canvas: its picture
// stays 640 x 480 pixels, and the page scales it to the browser's window without blur and
// switches full screen itself (the Fullscreen API, from the page's button and Alt+Enter),
// so the program never resizes it or asks for full screen (window_rules_web.cpp).
#pragma once

namespace vark {

bool PageSizesWindow();

}  // namespace vark
