#include "platform/files/folder_sync.h"

#include <fcntl.h>
#include <unistd.h>

#include "platform/files/descriptor.h"

namespace vark {

bool SyncFolder(const std::filesystem::path& folder) {
  Descriptor dir(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return dir.Fd() >= 0 && ::fsync(dir.Fd()) == 0 && dir.Close();
}

}  // namespace vark
