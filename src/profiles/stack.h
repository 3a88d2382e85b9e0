// The current player's profile record: one hidden form that lives for the whole run.
// Every screen reads it; profile creation and loading fill it; the shooter writes its
// score and parks its pointer picture in it.
#pragma once

#include <string>

#include "platform/forms/form.h"

namespace vark {

class Stack : public Form {
 public:
  Stack();

  std::string File = "Text1";     // the face's file name inside the faces folder
  std::string Profile = "Text1";  // the player's name
  std::string Caco = "Text1";     // shooter result line
  std::string Erudit = "Text1";   // quiz result line
  std::string Memory = "Text1";   // memory-game result line
  std::string Camper = "Text1";   // fourth episode's result line
  Picture Face;                   // the face picture
  Picture Im1;                    // the program's mouse pointer picture
  Picture Im2;                    // a spare pointer slot

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
