// The screen test shown in docs/ARCHITECTURE.md, kept here so that it compiles and passes
// as written there: the shooter with the game's own pictures and sounds, Escape and the
// exit question.
#include <gtest/gtest.h>

#include "shooter/caco.h"
#include "startup/options.h"
#include "support/driver.h"

namespace vark {
namespace {

TEST(Shooter, EscapeOpensTheExitQuestion) {
  TempFolder dir;
  dir.LinkGameData(VARK_GAME_DIR);  // the real pictures and sounds
  Driver d;                         // virtual clock, fake sound, offscreen screen
  d.SetSetting(kNoSfxKey, "0");     // an option, as the set-up program would write it
  auto& c = Forms::Show<Caco>();
  d.Advance(100);        // fires every timer due in the next 100 ms
  d.Press(SDLK_ESCAPE);  // keys, clicks and typing go through the real routing
  EXPECT_TRUE(c.Picture4.Visible());
  EXPECT_EQ(d.Sound().Plays("caco_alert.wav"), 1);
}

}  // namespace
}  // namespace vark
