// The set-up window: the four settings as check boxes, the music's and the sounds' levels
// (0 to 100, by tens), save, save and play, and leave.
// Started as the safe-mode program it first offers to switch safe mode off and play.
#pragma once

#include <vector>

#include "platform/forms/btnenh.h"
#include "platform/forms/controls.h"
#include "platform/forms/form.h"
#include "platform/forms/n3dtext.h"
#include "setup/setup_settings.h"

namespace vark {

class SetupForm : public Form {
 public:
  SetupForm();
  void Form_Load() override;
  // Enter saves and plays (in the safe-mode notice: switches safe mode off and plays);
  // Escape closes the program.
  void Form_KeyDown(int keyCode, int shift) override;
  // Shows the safe-mode notice in front of the settings; until it is answered nothing
  // beneath it reacts.
  void OfferToLeaveSafeMode();

  Image& Background = AddImage("Background", {0, 0, 9600, 7200});
  N3dText& TXT = Add<N3dText>("TXT", {1680, 120, 6240, 1320});
  Label& Title = AddLabel("Title", {0, 1440, 9600, 480});
  PictureBox& Options = AddPictureBox("Options", {720, 1980, 8160, 3000});
  std::vector<Label*> Box;
  std::vector<Label*> Caption;
  // Each level: its caption, "−", the number and "+".
  std::vector<Label*> VolumeCaption;
  std::vector<BtnEnh*> Quieter;
  std::vector<Label*> Level;
  std::vector<BtnEnh*> Louder;
  Label& Status = AddLabel("Status", {720, 5040, 8160, 375});
  // Offered when the settings file cannot be read: sets it aside and starts a new one.
  BtnEnh& BtnReset = AddButton("BtnReset", {6960, 4980, 1920, 495}, "С&бросить");
  BtnEnh& BtnPlay = AddButton("BtnPlay", {720, 5520, 3480, 735}, "Сохранить и &играть");
  BtnEnh& BtnSave = AddButton("BtnSave", {4440, 5520, 2160, 735}, "&Сохранить");
  BtnEnh& BtnExit = AddButton("BtnExit", {6840, 5520, 2040, 735}, "&Выход");

  PictureBox& SafeNotice = AddPictureBox("SafeNotice", {1200, 1920, 7200, 3480});
  Label& SafeTitle = AddLabel("SafeTitle", {0, 240, 7200, 495}, &SafeNotice);
  Label& SafeText = AddLabel("SafeText", {360, 960, 6480, 1215}, &SafeNotice);
  BtnEnh& BtnLeaveSafe = AddButton("BtnLeaveSafe", {480, 2520, 3360, 735}, "Выключить и играть", &SafeNotice);
  BtnEnh& BtnSettings = AddButton("BtnSettings", {4080, 2520, 2640, 735}, "Настройки", &SafeNotice);

  SetupChoice choice{};
  SetupVolumes volumes{kFullVolume, kFullVolume};

 private:
  void BuildOptionRows();
  void BuildVolumeRows();
  void ChangeVolume(size_t i, int by);
  void Toggle(size_t i);
  void ShowChoice();
  bool Save();
  void SaveAndPlay();
  // The status line: yellow for news, red for a failure.
  void ShowStatus(const std::string& text, bool failure);
  // What the set-up program can do about the settings file, said when it opens.
  void ShowSettingsProblem();
  void ShowReset(bool on);
  void Reset();
};

}  // namespace vark
