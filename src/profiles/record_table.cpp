#include "profiles/record_table.h"

#include <algorithm>

#include "platform/base/utf8.h"

namespace vark {

void RecordTable::Add(const std::string& name, const ProfileLines& lines) {
  const std::string* line[] = {&lines.line2, &lines.line3, &lines.line4};
  for (size_t i = 0; i < std::size(kRecordedEpisodes); ++i) {
    Episode episode = kRecordedEpisodes[i];
    if (auto result = ParseResult(episode, *line[i])) Offer(episode, {name, lines.face, *result});
  }
}

void RecordTable::Offer(Episode episode, RecordEntry entry) {
  auto& best = best_[static_cast<size_t>(episode)];
  auto place = std::find_if(best.begin(), best.end(),
                            [&](const RecordEntry& held) { return IsBetter(episode, entry.result, held.result); });
  if (place == best.end() && best.size() >= kPlaces) return;
  best.insert(place, std::move(entry));
  if (best.size() > kPlaces) best.pop_back();
}

bool ProfileScan::ReadPage(size_t count) {
  for (size_t end = std::min(files_.size(), next_ + count); next_ < end; ++next_) {
    const std::string& file = files_[next_];
    // A damaged profile's results are not taken: what remains of it may be cut short.
    if (auto lines = ReadProfile(file); lines && !lines->damaged) table_.Add(DropLastChars(file, 4), *lines);
  }
  return Done();
}

}  // namespace vark
