// The display-mode service used by the start-up screen and the main menu.
#pragma once

#include <string>

namespace vark::HPResol {

// Makes the hidden mode screen list the display's modes (about 1 ms later).
void StartModeList();
// Switches to the first listed mode written exactly as `mode` ("640x480x32"); a mode
// that is not listed is ignored.
void SetMode(const std::string& mode);
// Switches back to the desktop size found at start-up (at 32 bits per pixel) and ends the
// program right after that switch.
void RestoreMode();

}  // namespace vark::HPResol
