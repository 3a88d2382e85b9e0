// Starting and stopping the platform for the real game.
#pragma once

namespace vark {

// Takes the desktop's language settings (LC_ALL from the environment), so the window
// system receives the window's title as UTF-8. Numbers keep the C form, so no file's
// numbers depend on the player's language. Called first, before SDL opens the display.
void FollowDesktopLocale();

// Initialises SDL's video, pictures, fonts and sound, the window (full screen unless
// VARK_WINDOWED=1 is set) and the random generator. False when video cannot start.
bool InitGamePlatform();
void ShutdownGamePlatform();

}  // namespace vark
