// The set-up program: its window, or with --defaults only the default settings. It tells
// the safe-mode offer by the name it was started under (argv[0]). The desktop's program is
// only this; the web page's program runs it too, beside the game.
#pragma once

namespace vark {

// What main returns.
int RunSetupProgram(int argc, char** argv);

}  // namespace vark
