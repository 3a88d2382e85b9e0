// Replacing a file so that a failed write never loses the older one, and a finished one
// survives a power cut.
#pragma once

#include <filesystem>
#include <string_view>

namespace vark {

// Why a save failed, in the terms a player can act on.
enum class WriteProblem {
  kNone,
  kNoSpace,       // the disk (or the player's quota) is full
  kNoPermission,  // the folder may not be written (rights, a read-only disk)
  kNoFolder,      // there is no folder to write in
  kUnreadable,    // the older file could not be read, so it is kept as it is
  kRefused,       // the content cannot be stored (a name or a character the file cannot hold)
  kTooLarge,      // the content is larger than its reader takes, so it is not written
  kNoHome,        // there is no home folder (HOME and the XDG folders unset) to keep it in
  kFailed,        // anything else
};

struct WriteResult {
  WriteProblem problem = WriteProblem::kNone;
  explicit operator bool() const { return problem == WriteProblem::kNone; }
};

// The problem a failed system call's errno stands for.
WriteProblem ProblemOf(int error);

// Writes bytes to a new temporary file in the same folder (a name nobody can predict,
// created exclusively, never through a link), flushes it to the disk, renames it over
// `path` and flushes the folder. Whatever fails, the older file stays whole and the
// temporary file goes; the result says why (and a line goes to stderr).
//
// A link at `path` is replaced by the new file, never written through: what it pointed
// to stays as it was.
//
// Temporary files of this routine for the same file that a killed program left behind
// (the names it makes, plain files, older than a minute) are removed first; a link with
// such a name is removed as a link, never followed.
WriteResult WriteFileAtomic(const std::filesystem::path& path, std::string_view bytes);

}  // namespace vark
