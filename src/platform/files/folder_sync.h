// Making a folder's new names (a file renamed into place) last. On the desktop the folder
// is flushed to the disk (folder_sync.cpp). In the browser the files live in memory and are
// kept in the browser's IndexedDB: the sync copies every change there in one transaction
// and waits for it to finish, so a save lands whole or the older file stays
// (folder_sync_web.cpp).
#pragma once

#include <filesystem>

namespace vark {

// False when the folder's names could not be made to last.
bool SyncFolder(const std::filesystem::path& folder);

}  // namespace vark
