#include "platform/sound/sound_store.h"

namespace vark {

SoundStore::SoundStore(Decoder decode, IsSlow slow, bool abandonBusyWorker)
    : slow_(std::move(slow)), queue_(std::move(decode), abandonBusyWorker) {}

SoundStore::Found SoundStore::Find(const std::string& path) {
  Entry& entry = entries_[path];
  if (entry.failed) return {};
  if (entry.own) return {entry.own, false};
  if (Sound held = entry.held.lock()) return {held, false};
  if (!slow_(path)) {
    // Effects are short and played again and again: decoded here and kept.
    entry.keep = true;
    Store(entry, queue_.DecodeNow(path));
    return {entry.own, false};
  }
  if (!entry.queued) queue_.Add(path, true);
  entry.queued = true;
  return {nullptr, true};
}

void SoundStore::Keep(const std::string& path) {
  Entry& entry = entries_[path];
  entry.keep = true;
  if (entry.own || entry.queued || entry.failed) return;
  if ((entry.own = entry.held.lock())) return;
  entry.queued = true;
  queue_.Add(path, false);
}

void SoundStore::Collect() {
  for (auto& [path, samples] : queue_.TakeFinished()) Store(entries_[path], std::move(samples));
}

void SoundStore::ReleaseUnclaimed() {
  for (auto& [path, entry] : entries_)
    if (!entry.keep) entry.own.reset();
}

void SoundStore::Store(Entry& entry, Samples samples) {
  entry.queued = false;
  entry.failed = samples.empty();
  if (entry.failed) return;
  entry.own = std::make_shared<const Samples>(std::move(samples));
  entry.held = entry.own;
}

}  // namespace vark
