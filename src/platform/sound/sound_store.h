// Decoded sounds by path. Short effects decode at once on the asking thread; tunes go to
// the decode queue. Sounds asked to be kept stay for the whole run; any other tune lives
// only while a channel holds it.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/sound/decode_queue.h"

namespace vark {

class SoundStore {
 public:
  using Sound = std::shared_ptr<const Samples>;
  using Decoder = DecodeQueue::Decoder;
  using IsSlow = std::function<bool(const std::string& path)>;

  // See DecodeQueue for `abandonBusyWorker`.
  SoundStore(Decoder decode, IsSlow slow, bool abandonBusyWorker = false);

  struct Found {
    Sound sound;           // set when decoded
    bool pending = false;  // still decoding
  };
  // The sound, or word that it is still decoding (it is then queued ahead of the
  // prepared ones), or neither when the file cannot be decoded. A tune the worker has
  // finished counts as decoding until Collect takes it in.
  Found Find(const std::string& path);
  // Queues the sound behind those already queued and keeps it once decoded.
  void Keep(const std::string& path);
  // Takes in what the worker has finished (UI thread).
  void Collect();
  // Lets go of tunes nobody keeps: from now on only the channels playing them hold them.
  void ReleaseUnclaimed();
  // Blocks until the worker has nothing left to do (for tests and measurements).
  void WaitUntilIdle() { queue_.WaitUntilIdle(); }

 private:
  struct Entry {
    Sound own;
    std::weak_ptr<const Samples> held;  // the sound while anyone holds it
    bool keep = false;
    bool queued = false;
    bool failed = false;
  };
  void Store(Entry& entry, Samples samples);

  IsSlow slow_;
  std::map<std::string, Entry> entries_;  // UI thread only
  DecodeQueue queue_;
};

}  // namespace vark
