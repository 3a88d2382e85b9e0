// Project: VARK. Reads the command line, starts the platform, loads the start-up screen
// and runs the loop; or only opens the set-up program (startup/run_game.h).
#include "startup/run_game.h"

int main(int argc, char** argv) { return vark::RunGame(argc, argv); }
