// The decode queue: one worker thread that turns tune files into samples, one after
// another, so the game's thread never waits for a long decode.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/sound/sound_decode.h"

namespace vark {

class DecodeQueue {
 public:
  // Returns the decoded sound, empty on failure; should stop early once `cancelled` is set.
  using Decoder = std::function<Samples(const std::string& path, const std::atomic<bool>& cancelled)>;

  // A queue told to abandon its worker does not wait, when it ends, for a tune still
  // decoding: the worker finishes it on its own and throws it away, so the program ends at
  // once. The decoder must then hold everything it uses.
  DecodeQueue(Decoder decode, bool abandonBusyWorker);
  ~DecodeQueue();
  DecodeQueue(const DecodeQueue&) = delete;
  DecodeQueue& operator=(const DecodeQueue&) = delete;

  // Decodes the file on the asking thread (short effects).
  Samples DecodeNow(const std::string& path) const;
  // Queues the file: at the front when it is wanted now, else behind the others.
  void Add(const std::string& path, bool urgent);
  // What the worker has finished since the last call.
  std::vector<std::pair<std::string, Samples>> TakeFinished();
  // Blocks until the worker has nothing left to do (for tests and measurements): every
  // queued decode must be able to finish.
  void WaitUntilIdle();

 private:
  // What the queue shares with its worker; it lives as long as either of them.
  struct Work {
    Decoder decode;
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<std::string> queue;
    std::vector<std::pair<std::string, Samples>> finished;
    bool busy = false;
    std::atomic<bool> quit{false};
  };
  // The decoder's sound, or nothing (and a line on stderr) when it throws.
  static Samples DecodeGuarded(const Decoder& decode, const std::string& path, const std::atomic<bool>& cancelled);
  static void DecodeLoop(const std::shared_ptr<Work>& work);

  bool abandonBusyWorker_;
  std::shared_ptr<Work> work_;
  std::thread worker_;
};

}  // namespace vark
