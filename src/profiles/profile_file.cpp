#include "profiles/profile_file.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <iostream>

#include "platform/base/report_once.h"
#include "platform/base/run_state.h"
#include "platform/base/utf8.h"
#include "platform/files/codepage.h"
#include "platform/files/folders.h"
#include "platform/files/paths.h"
#include "platform/files/plain_file.h"
#include "platform/files/text_file.h"

namespace vark {
namespace {

constexpr size_t kMaxFileNameBytes = 200;
constexpr size_t kProfileLineCount = 5;
constexpr size_t kMessageChars = 60;

// The face files already said to be unusable in this run.
struct UnusableFaces : ReportedOnce {};

bool HasControlCharacter(std::string_view text) {
  for (char c : text) {
    auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) return true;
  }
  return false;
}

// Windows opens a device instead of a file for these names, whatever follows the first dot.
bool IsWindowsDeviceName(std::string_view name) {
  std::string base(name.substr(0, name.find('.')));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  for (char& c : base) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL") return true;
  return base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) && base[3] >= '1' && base[3] <= '9';
}

// The start of a file, long enough for every line of a sound profile plus one byte, so that
// an overlong line shows without the rest of the file being read. Only a plain file is
// read: a named pipe or a device under a profile's name is refused without waiting.
std::optional<std::string> ReadProfileHead(const std::filesystem::path& path, std::string& problem) {
  auto head = ReadPlainFileHead(path, kProfileLineCount * (kMaxProfileLineBytes + 2) + 1, problem);
  if (!head) return std::nullopt;
  return std::move(head->bytes);
}

// Empties the face and every line from the first overlong one on; true when any was bad.
bool DropDamagedLines(std::vector<std::string>& lines) {
  bool damaged = false;
  for (auto& line : lines) {
    // One Windows-1251 byte is one character, so the character count is the stored length.
    damaged = damaged || Utf8Length(line) > kMaxProfileLineBytes;
    if (damaged) line.clear();
  }
  if (HasControlCharacter(lines[0])) {
    lines[0].clear();
    damaged = true;
  }
  return damaged;
}

// "<what> не сохранён", and why when the reason is one a player can act on.
std::string NotSavedText(const std::string& what, WriteProblem problem) {
  std::string text = what + " не сохранён";
  switch (problem) {
    case WriteProblem::kNone: return "";
    case WriteProblem::kNoSpace: return text + ": нет места";
    case WriteProblem::kNoPermission: return text + ": нет прав";
    case WriteProblem::kNoFolder: return text + ": нет папки";
    case WriteProblem::kRefused:
    case WriteProblem::kTooLarge:
    case WriteProblem::kNoHome:
    case WriteProblem::kUnreadable:
    case WriteProblem::kFailed: break;
  }
  return text;
}

}  // namespace

std::string ProfileNameProblem(std::string_view name) {
  if (name.empty()) return "";
  if (name.size() + 4 > kMaxFileNameBytes) return "Слишком длинное имя";
  if (HasControlCharacter(name) || name.find_first_of("<>:\"/\\|?*") != std::string_view::npos || !Utf8ToCp1251(name))
    return "Недопустимый знак в имени";
  if (name.back() == '.' || name.back() == ' ') return "Точка или пробел в конце имени";
  if (IsWindowsDeviceName(name)) return "Это имя занято системой Windows";
  return "";
}

bool IsSafeProfileName(std::string_view name) { return !name.empty() && ProfileNameProblem(name).empty(); }

std::optional<ProfileLines> ReadProfile(const std::string& fileName) {
  std::string problem;
  auto head = ReadProfileHead(ResolvePath(fileName), problem);
  if (!head) {
    std::cerr << "vark: cannot read profile " << PrintablePrefix(fileName, kMessageChars) << ": " << problem << "\n";
    return std::nullopt;
  }
  auto l = SplitTextLines(*head);
  l.resize(kProfileLineCount);
  bool damaged = DropDamagedLines(l);
  if (damaged) std::cerr << "vark: profile " << PrintablePrefix(fileName, kMessageChars) << " is damaged\n";
  return ProfileLines{l[0], l[1], l[2], l[3], l[4], damaged};
}

WriteResult SaveProfile(const std::string& name, const ProfileLines& lines) {
  if (!IsSafeProfileName(name)) {
    std::cerr << "vark: refusing the profile name \"" << PrintablePrefix(name, kMessageChars)
              << "\": it cannot be a file name\n";
    return {WriteProblem::kRefused};
  }
  std::vector<std::string> text{lines.face, lines.line2, lines.line3, lines.line4, lines.line5};
  for (const std::string& line : text) {
    if (!HasControlCharacter(line) && line.size() <= kMaxProfileLineBytes) continue;
    std::cerr << "vark: refusing the profile line \"" << PrintablePrefix(line, kMessageChars)
              << "\": it cannot be one line of a profile\n";
    return {WriteProblem::kRefused};
  }
  if (WorkFolderMissing()) {
    std::cerr << "vark: no player's folder: the profile is not saved\n";
    return {WriteProblem::kNoFolder};
  }
  return WriteTextLinesAtomic(std::filesystem::path(name + ".pro"), text);
}

WriteResult WriteProfile(const std::string& name, const std::string& faceFile) {
  return SaveProfile(name, {faceFile, kNewResult, kNewResult, kNewResult, kNewResult});
}

std::optional<std::string> ExistingProfileFile(const std::string& name) {
  if (!IsSafeProfileName(name)) return std::nullopt;
  // Profiles live in the player's own folder only, never among the shipped data.
  std::filesystem::path file = ResolvePathIn({}, name + ".pro");
  std::error_code ec;
  if (!std::filesystem::exists(file, ec)) return std::nullopt;
  return file.filename().string();
}

WriteResult ReplaceProfile(const std::string& name, const std::string& faceFile) {
  std::optional<std::string> older = ExistingProfileFile(name);
  if (WriteResult written = WriteProfile(name, faceFile); !written) return written;
  if (older && *older != name + ".pro") {
    std::error_code ec;
    std::filesystem::remove(*older, ec);
    if (ec) std::cerr << "vark: cannot remove the older profile " << *older << ": " << ec.message() << "\n";
  }
  return {};
}

std::string ProfileProblemText(WriteProblem problem) { return NotSavedText("Профиль", problem); }

std::string ResultProblemText(WriteProblem problem) { return NotSavedText("Рекорд", problem); }

ProfileListing::ProfileListing() {
  std::error_code ec;
  if (!WorkFolderMissing()) entry_ = std::filesystem::directory_iterator(".", ec);
  done_ = WorkFolderMissing() || ec;
}

bool ProfileListing::ReadPage(size_t entries) {
  std::error_code ec;
  for (; !done_ && entries > 0 && entry_ != std::filesystem::directory_iterator(); entry_.increment(ec), --entries) {
    if (ec) break;
    std::string name = entry_->path().filename().string();
    std::error_code typeError;
    if (name.size() > 4 && SameNameIgnoringCase(name.substr(name.size() - 4), ".pro") &&
        entry_->is_regular_file(typeError))
      found_.emplace_back(AlphabeticalKey(name), std::move(name));
  }
  if (done_ || (!ec && entry_ != std::filesystem::directory_iterator() && entries == 0)) return done_;
  std::sort(found_.begin(), found_.end());
  for (auto& [key, name] : found_) files_.push_back(std::move(name));
  found_.clear();
  done_ = true;
  return true;
}

std::vector<std::string> ListProfiles() {
  ProfileListing listing;
  while (!listing.ReadPage(SIZE_MAX)) {
  }
  return listing.Files();
}

bool IsUsableFaceFile(std::string_view faceFile) {
  return !faceFile.empty() && faceFile.size() <= kMaxProfileLineBytes && !HasControlCharacter(faceFile) &&
         faceFile.find_first_of("/\\") == std::string_view::npos && Utf8ToCp1251(faceFile).has_value();
}

std::vector<std::string> ListFaces() {
  std::vector<std::string> faces = ListFiles(kFacesFolder, "*.dat");
  std::erase_if(faces, [](const std::string& face) {
    if (IsUsableFaceFile(face)) return false;
    if (CurrentRun().Get<UnusableFaces>().First(face))
      std::cerr << "vark: the face file \"" << PrintablePrefix(face, kMessageChars)
                << "\" is left out: its name cannot be stored in a profile\n";
    return true;
  });
  return faces;
}

Picture LoadFace(const std::string& faceFile) {
  if (faceFile.empty() || faceFile.find('/') != std::string::npos || faceFile.find('\\') != std::string::npos) {
    std::cerr << "vark: no usable face picture name \"" << PrintablePrefix(faceFile, kMessageChars) << "\"\n";
    return Picture();
  }
  return Picture::Load(std::string(kFacesFolder) + "\\" + faceFile);
}

}  // namespace vark
