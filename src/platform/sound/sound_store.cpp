#include "platform/sound/sound_store.h"

namespace vark {

SoundStore::Sound SoundStore::Find(const std::string& path, SoundUse use) {
  auto [entry, added] = entries_.try_emplace({path, use});
  if (!added) return entry->second;
  Samples samples = decode_(path, use);
  if (!samples.empty()) entry->second = std::make_shared<const Samples>(std::move(samples));
  return entry->second;
}

}  // namespace vark
