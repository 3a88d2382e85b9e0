#include "platform/files/programs.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <iostream>

#include "platform/files/folders.h"
#include "platform/files/paths.h"

extern char** environ;

namespace vark {

namespace {

// The companion programs' folder first, then the game's own folder (the set-up program
// starts the game); the working folder when no folders were entered.
std::filesystem::path FindProgram(const std::string& fileName) {
  const GameFolders& folders = CurrentGameFolders();
  for (const auto& folder : {folders.programs, folders.game}) {
    if (folder.empty()) continue;
    std::filesystem::path path = ResolvePathIn(folder, fileName);
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec)) return path;
  }
  return std::filesystem::path(".") / ResolvePathIn({}, fileName);
}

}  // namespace

bool StartProgram(const std::string& fileName) {
  std::filesystem::path path = FindProgram(fileName);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec) || access(path.c_str(), X_OK) != 0) {
    std::cerr << "vark: cannot start " << fileName << ": no such program beside the game\n";
    return false;
  }
  std::string program = path.string();
  // A child that starts the program and leaves at once, so the program is not ours to
  // wait for and leaves no zombie behind.
  pid_t child = fork();
  if (child < 0) {
    std::cerr << "vark: cannot start " << fileName << "\n";
    return false;
  }
  if (child == 0) {
    setsid();
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    char* argv[] = {program.data(), nullptr};
    pid_t grandchild;
    int rc = posix_spawn(&grandchild, program.c_str(), nullptr, &attr, argv, environ);
    _exit(rc == 0 ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  bool started = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  if (!started) std::cerr << "vark: cannot start " << fileName << "\n";
  return started;
}

}  // namespace vark
