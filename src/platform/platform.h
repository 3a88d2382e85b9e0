// Starting and stopping the platform for the real game.
#pragma once

namespace vark {

// Initialises SDL's video, pictures, fonts and sound, the window (full screen unless
// VARK_WINDOWED=1 is set) and the random generator. False when video cannot start.
bool InitGamePlatform();
void ShutdownGamePlatform();

}  // namespace vark
