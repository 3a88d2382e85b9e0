// Starting and stopping the platform for the real game.
#pragma once

#include <string>

namespace vark {

// Where the game keeps its window's place between runs: a key of its settings.
struct WindowPlaceSetting {
  std::string application, section, key;
};

// Takes the desktop's language settings (LC_ALL from the environment), so the window
// system receives the window's title as UTF-8. Numbers keep the C form, so no file's
// numbers depend on the player's language. Called first, before SDL opens the display.
void FollowDesktopLocale();

// Initialises SDL's video, pictures, fonts and sound, the window (full screen unless
// VARK_WINDOWED=1 is set) and the random generator. False when video cannot start. The
// window opens at the place kept under `placeSetting`, and the place is kept there again at
// shutdown; with no setting given it opens in its usual place and nothing is kept.
bool InitGamePlatform(const WindowPlaceSetting& placeSetting = {});
// Connects the event loop to input, the screens and the sound: what InitGamePlatform does
// first, and all a test or a tool that starts SDL itself needs.
void ConnectPlatform();
void ShutdownGamePlatform();

}  // namespace vark
