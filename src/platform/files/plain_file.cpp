#include "platform/files/plain_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/files/descriptor.h"

namespace vark {
namespace {

// Reads up to `count` bytes (fewer only at the end of the file).
bool ReadUpTo(int fd, std::string& bytes, size_t count) {
  bytes.resize(count);
  size_t got = 0;
  while (got < count) {
    ssize_t n = ::read(fd, bytes.data() + got, count - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  bytes.resize(got);
  return true;
}

// Opens for reading without waiting (a named pipe or a device answers at once).
Descriptor OpenWithoutWaiting(const std::filesystem::path& path) {
  return Descriptor(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
}

// The size of a file opened without waiting, when it is a plain file; nullopt with a reason
// otherwise. A named pipe opened this way never blocks, and fstat tells it apart.
std::optional<size_t> PlainSize(const Descriptor& file, std::string& problem) {
  struct stat info {};
  if (file.Fd() < 0) {
    problem = errno == ENOENT ? "no such file" : std::string("cannot open: ") + std::strerror(errno);
    return std::nullopt;
  }
  if (::fstat(file.Fd(), &info) != 0) {
    problem = "cannot read the file";
    return std::nullopt;
  }
  if (!S_ISREG(info.st_mode)) {
    problem = "not a plain file";
    return std::nullopt;
  }
  return static_cast<size_t>(info.st_size);
}

}  // namespace

std::optional<PlainFileHead> ReadPlainFileHead(const std::filesystem::path& path, size_t headBytes,
                                               std::string& problem) {
  Descriptor file = OpenWithoutWaiting(path);
  auto size = PlainSize(file, problem);
  if (!size) return std::nullopt;
  PlainFileHead head{{}, *size};
  if (!ReadUpTo(file.Fd(), head.bytes, headBytes)) {
    problem = "cannot read the file";
    return std::nullopt;
  }
  return head;
}

std::optional<std::string> ReadPlainFile(const std::filesystem::path& path, size_t maxBytes, std::string& problem) {
  Descriptor file = OpenWithoutWaiting(path);
  auto size = PlainSize(file, problem);
  if (!size) return std::nullopt;
  if (*size > maxBytes) {
    problem = "the file is " + std::to_string(*size) + " bytes, too large (at most " + std::to_string(maxBytes) + ")";
    return std::nullopt;
  }
  // What the file held when it was opened: a file that grows meanwhile is read no further.
  std::string bytes;
  if (!ReadUpTo(file.Fd(), bytes, *size)) {
    problem = "cannot read the file";
    return std::nullopt;
  }
  return bytes;
}

}  // namespace vark
