// The web page's one program: the game, or the set-up program when the page starts it
// under one of the set-up program's names (the page passes the name as argv[0], as the
// desktop starts a program file of that name).
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

}  // namespace

int main(int argc, char** argv) {
  if (argc > 0 && StartedAsSetup(argv[0])) return vark::RunSetupProgram(argc, argv);
  return vark::RunGame(argc, argv);
}
