#include "profiles/profile_file.h"

#include <filesystem>
#include <iostream>

#include "platform/paths.h"
#include "platform/text.h"

namespace vark {
namespace {

constexpr size_t kMaxFileNameBytes = 200;

bool OnlyDotsAndSpaces(std::string_view name) {
  return name.find_first_not_of(". ") == std::string_view::npos;
}

}  // namespace

bool IsSafeProfileName(std::string_view name) {
  if (name.empty() || OnlyDotsAndSpaces(name)) return false;
  if (name.size() + 4 > kMaxFileNameBytes) return false;
  if (name.back() == '.' || name.back() == ' ') return false;
  for (char c : name) {
    auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) return false;
    if (std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos) return false;
  }
  return Utf8ToCp1251(name).has_value();
}

std::optional<ProfileLines> ReadProfile(const std::string& fileName) {
  auto lines = ReadTextLines(ResolvePath(fileName));
  if (!lines) {
    std::cerr << "vark: cannot read profile " << fileName << "\n";
    return std::nullopt;
  }
  lines->resize(std::max<size_t>(lines->size(), 5));
  auto& l = *lines;
  return ProfileLines{l[0], l[1], l[2], l[3], l[4]};
}

bool WriteProfile(const std::string& name, const std::string& faceFile) {
  if (!IsSafeProfileName(name)) {
    std::cerr << "vark: refusing the profile name \"" << name << "\": it cannot be a file name\n";
    return false;
  }
  return WriteTextLinesAtomic(std::filesystem::path(name + ".pro"),
                              {faceFile, kNewResult, kNewResult, kNewResult, kNewResult});
}

bool ProfileExists(const std::string& name) {
  std::error_code ec;
  return IsSafeProfileName(name) && std::filesystem::exists(std::filesystem::path(name + ".pro"), ec);
}

std::vector<std::string> ListProfiles() { return ListFiles("", "*.pro"); }

std::vector<std::string> ListFaces() { return ListFiles(kFacesFolder, "*.dat"); }

Picture LoadFace(const std::string& faceFile) {
  if (faceFile.empty() || faceFile.find('/') != std::string::npos || faceFile.find('\\') != std::string::npos) {
    std::cerr << "vark: no usable face picture name \"" << faceFile << "\"\n";
    return Picture();
  }
  return Picture::Load(std::string(kFacesFolder) + "\\" + faceFile);
}

}  // namespace vark
