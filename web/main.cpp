// The web page's one program: the game, or the set-up program when the page starts it
// under one of the set-up program's names (the page passes the name as argv[0], as the
// desktop starts a program file of that name).
#include <emscripten.h>

#include <cstring>
#include <initializer_list>

#include "setup/setup_program.h"
#include "startup/run_game.h"

namespace {

bool StartedAsSetup(const char* name) {
  for (const char* setup : {"RIZAVORUV.exe", "KELPSafe.exe"})
    if (std::strcmp(name, setup) == 0) return true;
  return false;
}

// The program ended without starting another (the player left the game): the page says
// so, where a desktop window would close.
EM_JS(void, TellPageProgramEnded, (), {
  if (!Module.programStarted && Module.onProgramEnd) Module.onProgramEnd();
});

}  // namespace

int main(int argc, char** argv) {
  int result = argc > 0 && StartedAsSetup(argv[0]) ? vark::RunSetupProgram(argc, argv) : vark::RunGame(argc, argv);
  TellPageProgramEnded();
  return result;
}
