// The episode selection screen: the current player's face, name and best results, one
// button per episode, and the way back to the main menu. After a game it shows the
// shooter's last score, and a new best result is cheered.
#pragma once

#include "platform/forms/btnenh.h"
#include "platform/forms/controls.h"
#include "platform/forms/form.h"

namespace vark {

class Form3 : public Form {
 public:
  Form3();
  void Form_Load() override;

  void Play1() { Aud1.Play(); }
  void Play2() { Aud2.Play(); }
  void PlayMus() { Mus.Play(); }
  void PlayCaco();
  void PlayQuest();
  void PlayTele();

  Image& Image2 = AddImage("Image2", {-300, -300, 9975, 7695});                     // the backdrop
  BtnEnh& BtnEnh6 = AddButton("BtnEnh6", {1200, 0, 6735, 735}, "ПРОФИЛЬ ВАРКЕРА");  // the title
  Image& Image1 = AddImage("Image1", {600, 600, 975, 975});                         // the player's face
  // The four episodes' names in the player's panel.
  Label& Label3 = AddLabel("Label3", {2280, 960, 3600, 375});
  Label& Label4 = AddLabel("Label4", {6000, 960, 3480, 375});
  Label& Label5 = AddLabel("Label5", {2280, 1440, 3600, 375});
  Label& Label6 = AddLabel("Label6", {6000, 1440, 3480, 375});
  // The player's name, under the face on the panel's free row between the episodes' names
  // and the buttons, as wide as the panel: a first name and surname show whole.
  Label& Label2 = AddLabel("Label2", {480, 1815, 9000, 345});
  BtnEnh& BtnEnh1 = AddButton("BtnEnh1", {120, 2160, 4335, 855}, "АТАКА КАКОДЕМОНОВ");
  BtnEnh& BtnEnh2 = AddButton("BtnEnh2", {120, 3120, 4335, 855}, "СЛЕГКА ПОVARKАЕМ");
  BtnEnh& BtnEnh3 = AddButton("BtnEnh3", {120, 4080, 4335, 855}, "ТЕЛЕПОРТЕРЫ");
  BtnEnh& BtnEnh4 = AddButton("BtnEnh4", {120, 5040, 4335, 855}, "ZUZAZE VUDODO!");
  BtnEnh& BtnEnh5 = AddButton("BtnEnh5", {120, 6120, 4335, 855}, "ВЫХОД");
  // Beside each episode's button, the player's best result in it; beside the shooter's,
  // after a game, its last score too.
  Label& Best1 = AddLabel("Best1", {4680, 2205, 4800, 375});
  Label& LastScore = AddLabel("LastScore", {4680, 2610, 4800, 330});
  Label& Best2 = AddLabel("Best2", {4680, 3360, 4800, 375});
  Label& Best3 = AddLabel("Best3", {4680, 4320, 4800, 375});
  // Beside "ВЫХОД": a new best ("НОВЫЙ РЕКОРД!"), or why it could not be saved.
  Label& News = AddLabel("News", {4680, 6120, 4800, 855});
  MediaPlayer& Aud1 = AddMedia("Aud1");
  MediaPlayer& Aud2 = AddMedia("Aud2");
  MediaPlayer& Mus = AddMedia("Mus");
  // Blinks the news of a new best.
  Timer& Timer2 = AddTimer("Timer2", 0, [this] { Timer2_Timer(); });

 private:
  void StyleButtons();
  void StyleResults();
  void ShowResults();
  void Timer2_Timer();
  void BtnEnh5_Click();
};

}  // namespace vark
