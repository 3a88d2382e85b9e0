// Project: VARK. Starts the platform, loads the start-up screen and runs the loop.
#include <unistd.h>

#include <filesystem>
#include <iostream>

#include "platform/app.h"
#include "platform/platform.h"
#include "startup/form2.h"

namespace {

// The game reads everything relative to its own folder, wherever it is started from.
void EnterGameFolder() {
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec) std::filesystem::current_path(exe.parent_path(), ec);
  if (ec) std::cerr << "vark: staying in the current folder: " << ec.message() << "\n";
}

}  // namespace

int main() {
  EnterGameFolder();
  if (!vark::InitGamePlatform()) return 1;
  vark::App& app = vark::App::Get();
  app.Dispatch([] { vark::Forms::Show<vark::Form2>(); });
  app.AfterEvent();
  app.Run();
  vark::ShutdownGamePlatform();
  return 0;
}
