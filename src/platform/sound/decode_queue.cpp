#include "platform/sound/decode_queue.h"

#include <iostream>

#include "platform/base/utf8.h"

namespace vark {

DecodeQueue::DecodeQueue(Decoder decode, bool abandonBusyWorker)
    : abandonBusyWorker_(abandonBusyWorker),
      work_(std::make_shared<Work>()),
      worker_([work = work_] { DecodeLoop(work); }) {
  work_->decode = std::move(decode);
}

DecodeQueue::~DecodeQueue() {
  bool busy = false;
  {
    std::lock_guard lock(work_->mutex);
    work_->quit = true;
    busy = work_->busy;
  }
  work_->wake.notify_all();
  if (busy && abandonBusyWorker_) worker_.detach();
  else worker_.join();
}

Samples DecodeQueue::DecodeNow(const std::string& path) const {
  const std::atomic<bool> never{false};
  return DecodeGuarded(work_->decode, path, never);
}

void DecodeQueue::Add(const std::string& path, bool urgent) {
  {
    std::lock_guard lock(work_->mutex);
    if (urgent) work_->queue.push_front(path);
    else work_->queue.push_back(path);
  }
  work_->wake.notify_all();
}

std::vector<std::pair<std::string, Samples>> DecodeQueue::TakeFinished() {
  std::vector<std::pair<std::string, Samples>> finished;
  std::lock_guard lock(work_->mutex);
  finished.swap(work_->finished);
  return finished;
}

void DecodeQueue::WaitUntilIdle() {
  std::unique_lock lock(work_->mutex);
  work_->wake.wait(lock, [this] { return work_->queue.empty() && !work_->busy; });
}

Samples DecodeQueue::DecodeGuarded(const Decoder& decode, const std::string& path, const std::atomic<bool>& cancelled) {
  // One file that cannot be decoded (even for want of memory) costs only its own sound.
  try {
    return decode(path, cancelled);
  } catch (const std::exception& e) {
    std::cerr << "vark: cannot play " << PrintablePrefix(path, 120) << ": " << e.what() << "\n";
  } catch (...) {
    std::cerr << "vark: cannot play " << PrintablePrefix(path, 120) << "\n";
  }
  return {};
}

void DecodeQueue::DecodeLoop(const std::shared_ptr<Work>& work) {
  for (;;) {
    std::string path;
    {
      std::unique_lock lock(work->mutex);
      work->busy = false;
      work->wake.notify_all();
      work->wake.wait(lock, [&] { return work->quit || !work->queue.empty(); });
      if (work->quit) return;
      path = work->queue.front();
      work->queue.pop_front();
      work->busy = true;
    }
    Samples samples = DecodeGuarded(work->decode, path, work->quit);
    std::lock_guard lock(work->mutex);
    work->finished.emplace_back(path, std::move(samples));
  }
}

}  // namespace vark
