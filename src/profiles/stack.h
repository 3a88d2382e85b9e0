// The current player's profile record: one hidden form that lives for the whole run.
// Every screen reads it; profile creation and loading fill it; the shooter writes its
// last score and parks its pointer picture in it; every episode hands it its result, and
// a better one than the profile's best is written into the profile's file.
#pragma once

#include <string>

#include "platform/files/atomic_file.h"
#include "platform/forms/form.h"
#include "profiles/results.h"

namespace vark {

// The episode screen's news of a new best result.
inline constexpr const char* kNewBestNews = "НОВЫЙ РЕКОРД!";

class Stack : public Form {
 public:
  Stack();

  std::string File = "Text1";      // the face's file name inside the faces folder
  std::string Profile = "Text1";   // the player's name
  std::string Caco = "Text1";      // the shooter's last score, or its best when none was played yet
  std::string CacoBest = "Text1";  // the shooter's best result line (the file's line 2)
  std::string Erudit = "Text1";    // the quiz's best result line (line 3)
  std::string Memory = "Text1";    // the memory game's best result line (line 4)
  std::string Camper = "Text1";    // the fourth episode's result line (line 5)
  Picture Face;                    // the face picture
  Picture Im1;                     // the program's mouse pointer picture
  Picture Im2;                     // a spare pointer slot

  // A shooter game ended since the profile was chosen: the episode screen shows its score.
  bool CacoPlayed = false;
  // A profile was created or loaded whole: its results are kept in its file.
  bool HasProfile = false;
  // What the episode screen tells when it opens next: a new best, or why it was not
  // saved; empty when there is nothing to tell.
  std::string ResultNews;

  // A best result that the profile's file could not take yet.
  bool ResultsUnsaved = false;

  // Takes an episode's result: when it beats the profile's best, it becomes the best and
  // the profile's file is saved with it. The screen is told in ResultNews; a failed save
  // keeps the better result here, and the next result the player brings saves it again.
  void KeepResult(Episode episode, Result result);
  // The best result line of an episode.
  const std::string& BestLine(Episode episode) const;

  // The pointer every screen with the custom pointer uses.
  MousePointer CustomPointer() const { return {PointerKind::Custom, Im1}; }
};

// Where the pictures the screens hold by design live in the data folder.
namespace res {
inline constexpr const char* kArrow = "Res\\Arrow.png";
inline constexpr const char* kArrow2 = "Res\\Arrow2.png";
inline constexpr const char* kInvisible = "Res\\Invisible.png";
}  // namespace res

}  // namespace vark
