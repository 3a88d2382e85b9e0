#include "profiles/stack.h"

#include "profiles/profile_file.h"

namespace vark {
namespace {

// The field holding an episode's best line, for a record that may or may not be const.
template <class Record>
auto& BestField(Record& record, Episode episode) {
  switch (episode) {
    case Episode::kShooter: return record.CacoBest;
    case Episode::kQuiz: return record.Erudit;
    case Episode::kMemory: break;
  }
  return record.Memory;
}

}  // namespace

Stack::Stack() : Form("Stack") {
  Im1 = Picture::Load(res::kArrow);
  Im2 = Picture::Load(res::kArrow2);
}

const std::string& Stack::BestLine(Episode episode) const { return BestField(*this, episode); }

void Stack::KeepResult(Episode episode, Result result) {
  if (!HasProfile) return;
  std::string& best = BestField(*this, episode);
  bool better = IsBetter(episode, result, ParseResult(episode, best));
  if (!better && !ResultsUnsaved) return;
  if (better) best = ResultText(episode, result);
  WriteResult saved = SaveProfile(Profile, {File, CacoBest, Erudit, Memory, Camper});
  ResultsUnsaved = !saved;
  if (!saved) ResultNews = ResultProblemText(saved.problem);
  else ResultNews = better ? kNewBestNews : "";
}

}  // namespace vark
