#include "platform/files/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <random>
#include <string>

#include "platform/files/descriptor.h"
#include "platform/files/folder_sync.h"

namespace vark {
namespace {

// ".<name>.<twelve random letters>.tmp" beside the file: hidden, and never matching the
// patterns the game lists its files by.
std::filesystem::path TemporaryName(const std::filesystem::path& path) {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::random_device entropy;
  std::uniform_int_distribution<size_t> pick(0, sizeof kLetters - 2);
  std::string suffix;
  for (int i = 0; i < 12; ++i) suffix += kLetters[pick(entropy)];
  // Appended piece by piece: "." + string makes GCC 12 warn wrongly (-Wrestrict) once inlined.
  std::string name = ".";
  name.append(path.filename().string()).append(".").append(suffix).append(".tmp");
  return path.parent_path() / name;
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
