// Profile files: "<name>.pro" in the working folder, five Windows-1251 lines with CR LF:
// the face file name, then four result lines ("Фраг" when new). The faces folder
// "VarKers" holds one picture per face, "<face>.dat".
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files/atomic_file.h"
#include "platform/video/picture.h"

namespace vark {

inline constexpr const char* kNewResult = "Фраг";
inline constexpr const char* kFacesFolder = "VarKers";

struct ProfileLines {
  std::string face;   // line 1
  std::string line2;  // shooter result
  std::string line3;
  std::string line4;
  std::string line5;  // fourth episode's result
  // A line was too long or the face name held a control character: the face and every
  // line from the first bad one on read as empty.
  bool damaged = false;
};

// Longer profile lines mark the file as damaged; the rest of such a file is never read.
inline constexpr size_t kMaxProfileLineBytes = 4096;

// A name can become a file name in the working folder on Linux and on Windows: not empty,
// no path separators, no control characters, none of < > : " / \ | ? *, not only dots or
// spaces, not ending in a dot or space, at most 200 bytes with ".pro", encodable in
// Windows-1251, and not one of Windows' device names (CON, PRN, AUX, NUL, COM1..9,
// LPT1..9, with or without an extension).
bool IsSafeProfileName(std::string_view name);

// Why a typed name cannot be a profile, as a short line for the player; empty when it can,
// and when nothing is typed yet.
std::string ProfileNameProblem(std::string_view name);

// Reads a profile file (a bare file name in the working folder). Missing lines read as
// empty; a damaged file reads as far as it is sound; nullopt when the file cannot be read.
// Reading never changes the file and reads at most the first few kilobytes.
std::optional<ProfileLines> ReadProfile(const std::string& fileName);

// Writes "<name>.pro" with the given lines, replacing an older file atomically. The reason
// (and a line on stderr) for an unsafe name, a line with a control character (a line break
// would shift the lines), no working folder or a failed write; an older file then stays
// as it was.
WriteResult SaveProfile(const std::string& name, const ProfileLines& lines);

// Writes a new profile: the face file name and "Фраг" four times, as SaveProfile does.
WriteResult WriteProfile(const std::string& name, const std::string& faceFile);

// The file of the profile with this name in the working folder, found whatever the
// letter case of either ("alex" finds "Alex.pro"); nullopt when there is none.
std::optional<std::string> ExistingProfileFile(const std::string& name);

// Writes the profile as WriteProfile does; once that succeeded, an older file of the same
// name in another letter case is removed, so the name keeps the case given now.
WriteResult ReplaceProfile(const std::string& name, const std::string& faceFile);

// A short line telling the player why a profile, or a new best result, was not saved.
std::string ProfileProblemText(WriteProblem problem);
std::string ResultProblemText(WriteProblem problem);

// The profile files in the working folder, found a page of folder entries at a time, so
// that a folder of many thousands never holds up the game's screen for long.
class ProfileListing {
 public:
  ProfileListing();
  // Reads up to `entries` more entries of the folder; true when the folder is read, and
  // the files are then in alphabetical order.
  bool ReadPage(size_t entries);
  bool Done() const { return done_; }
  const std::vector<std::string>& Files() const { return files_; }

 private:
  std::filesystem::directory_iterator entry_;
  std::vector<std::pair<std::string, std::string>> found_;  // sort key, file name
  std::vector<std::string> files_;
  bool done_ = false;
};

// The profile files in the working folder, in alphabetical order; none without one.
std::vector<std::string> ListProfiles();

// A face file whose name can be line 1 of a profile: one line of valid UTF-8 that the
// profile's code page holds, no path separator, not overlong.
bool IsUsableFaceFile(std::string_view faceFile);

// The usable face files ("*.dat") in the faces folder, in alphabetical order; each other
// one is left out with a line on stderr (once a run).
std::vector<std::string> ListFaces();

// The picture of a face file, looked up in the faces folder whatever its letter case;
// an empty picture when it is missing.
Picture LoadFace(const std::string& faceFile);

}  // namespace vark
