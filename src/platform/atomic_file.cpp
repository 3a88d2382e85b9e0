#include "platform/atomic_file.h"

#include <unistd.h>

#include <fstream>
#include <iostream>
#include <string>

namespace vark {

bool WriteFileAtomic(const std::filesystem::path& path, std::string_view bytes) {
  std::filesystem::path temp = path;
  temp += ".tmp" + std::to_string(::getpid());
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) {
      std::cerr << "vark: cannot write " << temp << "\n";
      return false;
    }
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
      std::cerr << "vark: writing " << temp << " failed\n";
      std::error_code ignored;
      std::filesystem::remove(temp, ignored);
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(temp, path, ec);
  if (ec) {
    std::cerr << "vark: cannot replace " << path << ": " << ec.message() << "\n";
    std::filesystem::remove(temp, ec);
    return false;
  }
  return true;
}

}  // namespace vark
