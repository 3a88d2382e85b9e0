#include "platform/files/folder_sync.h"

#include <emscripten.h>

namespace vark {
namespace {

// The page's storage (web/storage.js) copies the files to IndexedDB, one sync at a time,
// and says whether it worked; the program waits for the answer (the loop goes on in the
// browser meanwhile).
EM_ASYNC_JS(int, SyncStorage, (), { return (await Module.syncStorage()) ? 1 : 0; });

}  // namespace

bool SyncFolder(const std::filesystem::path&) { return SyncStorage() != 0; }

}  // namespace vark
