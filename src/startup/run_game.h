// The game's program: reads the command line, starts the platform, shows the start-up
// screen and runs the loop until the game ends. The desktop's main is only this; the web
// page's program runs it too, beside the set-up program.
#pragma once

namespace vark {

// What main returns.
int RunGame(int argc, char** argv);

}  // namespace vark
