// The table of records: the best three results of each episode among many profiles,
// gathered one profile at a time.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "profiles/profile_file.h"
#include "profiles/results.h"

namespace vark {

struct RecordEntry {
  std::string name;      // the profile's name
  std::string faceFile;  // its face file in the faces folder
  Result result;
};

class RecordTable {
 public:
  static constexpr size_t kPlaces = 3;

  // Takes a profile's results into the table. Of equal results the profile added first
  // keeps the higher place.
  void Add(const std::string& name, const ProfileLines& lines);
  // The best results of an episode, best first; at most kPlaces.
  const std::vector<RecordEntry>& Best(Episode episode) const { return best_[static_cast<size_t>(episode)]; }

 private:
  void Offer(Episode episode, RecordEntry entry);
  std::array<std::vector<RecordEntry>, std::size(kRecordedEpisodes)> best_;
};

// The profiles of the player's folder read into a table a page at a time, so that a
// folder of thousands of profiles never holds up the game's screen for long.
class ProfileScan {
 public:
  explicit ProfileScan(std::vector<std::string> files) : files_(std::move(files)) {}
  // Reads up to `count` more profiles; true when every profile has been read.
  bool ReadPage(size_t count);
  bool Done() const { return next_ >= files_.size(); }
  const RecordTable& Table() const { return table_; }

 private:
  std::vector<std::string> files_;
  size_t next_ = 0;
  RecordTable table_;
};

}  // namespace vark
