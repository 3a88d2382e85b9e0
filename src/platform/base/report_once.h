// "Said once a run": remembers which files (or other keys) a complaint was already written
// for, so a file that fails again and again costs one stderr line. Safe to use from any
// thread. At most a thousand keys are kept; past that the list starts again, so a
// folder full of broken files cannot grow it without end.
#pragma once

#include <mutex>
#include <string>
#include <unordered_set>

namespace vark {

class ReportedOnce {
 public:
  // True the first time `key` is given (the caller then says its line).
  bool First(const std::string& key);

 private:
  static constexpr size_t kMostKept = 1024;
  std::mutex mutex_;
  std::unordered_set<std::string> said_;
};

}  // namespace vark
