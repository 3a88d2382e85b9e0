#include <emscripten.h>

#include "platform/files/programs.h"

namespace vark {
namespace {

// The page is one program, the game or the set-up program by the name it is started
// under: starting another opens the page again under that name (web/pre.js), once every
// save has reached the browser's storage.
EM_JS(void, OpenPageAs, (const char* name), { Module.startProgram(UTF8ToString(name)); });

}  // namespace

bool StartProgram(const std::string& fileName) {
  OpenPageAs(fileName.c_str());
  return true;
}

}  // namespace vark
