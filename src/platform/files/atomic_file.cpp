#include "platform/files/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <iostream>
#include <random>
#include <string>

#include "platform/files/descriptor.h"
#include "platform/files/folder_sync.h"

namespace vark {
namespace {

constexpr std::string_view kLetters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
constexpr size_t kSuffixLength = 12;
constexpr std::string_view kTemporaryEnd = ".tmp";

// ".<name>.<twelve random letters>.tmp" beside the file: hidden, and never matching the
// patterns the game lists its files by.
std::filesystem::path TemporaryName(const std::filesystem::path& path) {
  std::random_device entropy;
  std::uniform_int_distribution<size_t> pick(0, kLetters.size() - 1);
  std::string suffix;
  for (size_t i = 0; i < kSuffixLength; ++i) suffix += kLetters[pick(entropy)];
  // Appended piece by piece: "." + string makes GCC 12 warn wrongly (-Wrestrict) once inlined.
  std::string name = ".";
  name.append(path.filename().string()).append(".").append(suffix).append(".tmp");
  return path.parent_path() / name;
}

// A name TemporaryName makes for the file named `name`.
bool IsTemporaryNameOf(std::string_view candidate, const std::string& name) {
  const size_t head = 1 + name.size() + 1;  // "." name "."
  if (candidate.size() != head + kSuffixLength + kTemporaryEnd.size()) return false;
  if (candidate[0] != '.' || candidate.substr(1, name.size()) != name || candidate[head - 1] != '.') return false;
  if (!candidate.ends_with(kTemporaryEnd)) return false;
  return candidate.substr(head, kSuffixLength).find_first_not_of(kLetters) == std::string_view::npos;
}

// Removes what a save of the same file left behind when the program was killed in the
// middle: entries named as this routine names its temporary files, plain files or links
// (never followed), last changed over a minute ago (a save running now is younger).
void RemoveStaleTemporaries(const std::filesystem::path& path) {
  constexpr std::time_t kStaleSeconds = 60;
  const std::string name = path.filename().string();
  const std::filesystem::path folder = path.parent_path().empty() ? "." : path.parent_path();
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    if (!IsTemporaryNameOf(entry.path().filename().string(), name)) continue;
    struct stat info {};
    if (::lstat(entry.path().c_str(), &info) != 0 || !(S_ISREG(info.st_mode) || S_ISLNK(info.st_mode))) continue;
    if (std::time(nullptr) - info.st_mtime > kStaleSeconds && ::unlink(entry.path().c_str()) == 0)
      std::cerr << "vark: removed " << entry.path().string() << ", left by a save that did not finish\n";
  }
}

// Creates a temporary file nobody else has made: O_EXCL refuses any existing name, a
// link included, so a link planted there is never followed.
int CreateTemporary(const std::filesystem::path& path, std::filesystem::path& temp) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = TemporaryName(path);
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

WriteResult Failed(const std::filesystem::path& path, const char* step, int error) {
  std::cerr << "vark: cannot save " << path.string() << " (" << step << "): " << std::strerror(error) << "\n";
  return {ProblemOf(error)};
}

}  // namespace

WriteProblem ProblemOf(int error) {
  switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return WriteProblem::kNoSpace;
    case EACCES:
    case EPERM:
    case EROFS: return WriteProblem::kNoPermission;
    case ENOENT:
    case ENOTDIR: return WriteProblem::kNoFolder;
    default: return WriteProblem::kFailed;
  }
}

WriteResult WriteFileAtomic(const std::filesystem::path& path, std::string_view bytes) {
  RemoveStaleTemporaries(path);
  std::filesystem::path temp;
  Descriptor file(CreateTemporary(path, temp));
  if (file.Fd() < 0) return Failed(path, "creating a temporary file", errno);
  const char* step = nullptr;
  if (!WriteAll(file.Fd(), bytes)) step = "writing";
  else if (::fsync(file.Fd()) != 0) step = "flushing to the disk";
  else if (!file.Close()) step = "closing";
  else if (::rename(temp.c_str(), path.c_str()) != 0) step = "renaming";
  if (step) {
    int error = errno;
    ::unlink(temp.c_str());
    return Failed(path, step, error);
  }
  if (!SyncFolder(path.parent_path()))
    std::cerr << "vark: saved " << path.string() << ", but its folder could not be flushed to the disk\n";
  return {};
}

}  // namespace vark
