// The whole-game play-throughs start alike: the real game data in a temporary folder, the
// options as the set-up program writes them, and the start-up run on to the main menu.
#pragma once

#include <filesystem>

#include "platform/runtime/app.h"
#include "platform/forms/form.h"
#include "startup/form2.h"
#include "support/driver.h"

namespace vark {

// False when the game's data was not built (the caller skips).
inline bool StartAtMainMenu(TempFolder& dir, Driver& d) {
  if (!std::filesystem::exists(std::filesystem::path(VARK_GAME_DIR) / "VarKers")) return false;
  dir.LinkGameData(VARK_GAME_DIR);
  d.SetSetting("SafeMode", "0");
  App::Get().Dispatch([] { Forms::Show<Form2>(); });
  d.Advance(720);  // start-up and the main menu's own start sequence
  return true;
}

}  // namespace vark
