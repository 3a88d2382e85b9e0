// Where the game's files lie. Run from the build tree, one folder holds the game, its
// companion programs and its data, and the programs work in it. Installed, the programs
// and the read-only data lie under the installation prefix, and the programs work in the
// player's own folder, whose files override the shipped data of the same name.
#pragma once

#include <filesystem>

namespace vark {

struct GameFolders {
  std::filesystem::path work;      // the working folder: profiles are written here
  std::filesystem::path data;      // the shipped data, read after the working folder
  std::filesystem::path programs;  // the companion programs
  std::filesystem::path game;      // the folder holding the game program itself
};

// The player's folder: $XDG_DATA_HOME/vark, else ~/.local/share/vark; empty when neither
// variable is set.
std::filesystem::path PlayerFolder();

// The folders for a program lying in programFolder (an absolute path). The layout counts
// as installed when programFolder is the prefix's folder for the game or for the companion
// programs and the prefix holds the data folder; everything else is a build tree.
GameFolders FindGameFolders(const std::filesystem::path& programFolder, const std::filesystem::path& playerFolder);

// Finds the folders of the running program, creates the player's folder when installed,
// makes the working folder current and the data folder the one read after it. False (and
// a line on stderr) when the working folder cannot be made or entered: the data folder is
// then current (when it can be entered) and WorkFolderMissing() holds, so that nothing is
// written or listed anywhere else.
bool EnterGameFolders();

// What EnterGameFolders does once it has found the folders.
bool EnterFolders(GameFolders folders);

// True after EnterGameFolders found no working folder: profiles can be neither saved nor
// listed.
bool WorkFolderMissing();

// The folders entered last; all empty before (programs are then looked up in the current
// folder).
const GameFolders& CurrentGameFolders();

}  // namespace vark
