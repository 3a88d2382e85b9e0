#include "platform/base/report_once.h"

namespace vark {

bool ReportedOnce::First(const std::string& key) {
  std::lock_guard lock(mutex_);
  if (said_.contains(key)) return false;
  if (said_.size() >= kMostKept) said_.clear();
  said_.insert(key);
  return true;
}

}  // namespace vark
