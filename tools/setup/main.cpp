// The companion set-up program. The game starts it under two names: "RIZAVORUV.exe" when
// no settings exist yet, and "KELPSafe.exe" when safe mode is on. With --defaults it only
// writes the default settings, without a window.
#include "setup/setup_program.h"

int main(int argc, char** argv) { return vark::RunSetupProgram(argc, argv); }
