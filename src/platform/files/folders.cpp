#include "platform/files/folders.h"

#include <cstdlib>
#include <iostream>
#include <system_error>

#include "platform/base/run_state.h"
#include "platform/files/paths.h"
#include "vark_build_info.h"

namespace vark {
namespace {

// The folders found at start-up, and whether the player's folder could not be used.
struct FoundFolders {
  GameFolders folders;
  bool missing = false;
};

GameFolders& Current() { return CurrentRun().Get<FoundFolders>().folders; }
bool& Missing() { return CurrentRun().Get<FoundFolders>().missing; }

// The prefix when folder ends with the relative path tail ("bin", "lib/vark"); empty
// otherwise.
std::filesystem::path PrefixBefore(const std::filesystem::path& folder, const std::filesystem::path& tail) {
  std::filesystem::path prefix = folder.lexically_normal();
  if (!prefix.has_filename()) prefix = prefix.parent_path();
  std::filesystem::path rest = tail.lexically_normal();
  while (!rest.empty() && rest.has_filename()) {
    if (prefix.filename() != rest.filename()) return {};
    prefix = prefix.parent_path();
    rest = rest.parent_path();
  }
  return prefix;
}

}  // namespace

std::filesystem::path PlayerFolder() {
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg && xdg[0] == '/')
    return std::filesystem::path(xdg) / "vark";
  if (const char* home = std::getenv("HOME"); home && *home)
    return std::filesystem::path(home) / ".local" / "share" / "vark";
  return {};
}

GameFolders FindGameFolders(const std::filesystem::path& programFolder, const std::filesystem::path& playerFolder) {
  for (const char* tail : {build_info::kBinFolder, build_info::kProgramsFolder}) {
    std::filesystem::path prefix = PrefixBefore(programFolder, tail);
    std::error_code ec;
    if (prefix.empty() || !std::filesystem::is_directory(prefix / build_info::kDataFolder, ec)) continue;
    return GameFolders{playerFolder, prefix / build_info::kDataFolder, prefix / build_info::kProgramsFolder,
                       prefix / build_info::kBinFolder};
  }
  return GameFolders{programFolder, programFolder, programFolder, programFolder};
}

bool EnterGameFolders() {
  std::error_code ec;
  std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) {
    std::cerr << "vark: cannot find the program's own folder: " << ec.message() << "\n";
    Missing() = true;
    return false;
  }
  return EnterFolders(FindGameFolders(program.parent_path(), PlayerFolder()));
}

bool EnterFolders(GameFolders folders) {
  std::error_code ec;
  if (folders.work.empty()) {
    std::cerr << "vark: neither XDG_DATA_HOME nor HOME is set: no folder for profiles\n";
  } else {
    std::filesystem::create_directories(folders.work, ec);
    if (!ec) std::filesystem::current_path(folders.work, ec);
    if (ec)
      std::cerr << "vark: cannot use the player's folder " << folders.work.string() << ": " << ec.message()
                << "; no profile can be saved\n";
  }
  Missing() = folders.work.empty() || ec;
  if (Missing()) {
    // Reading goes on from the shipped data alone; the start folder is never used.
    std::filesystem::current_path(folders.data, ec);
    folders.work.clear();
  }
  SetSharedDataFolder(folders.data == folders.work ? std::filesystem::path() : folders.data);
  Current() = folders;
  return !Missing();
}

bool WorkFolderMissing() { return Missing(); }

const GameFolders& CurrentGameFolders() { return Current(); }

}  // namespace vark
