// The main menu: title, four main buttons, the hint line, and the panels through which a
// player creates a new profile (face choice, name entry, overwrite question) or loads one
// from the list. It also finishes the start-up and performs the orderly exit.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "platform/forms/btnenh.h"
#include "platform/forms/controls.h"
#include "platform/forms/form.h"
#include "platform/forms/n3dtext.h"
#include "platform/runtime/app.h"
#include "profiles/profile_file.h"

namespace vark {

class Form1 : public Form {
 public:
  Form1();
  void Form_Load() override;
  // Enter confirms a typed name, as "ОК" does.
  void Form_KeyDown(int keyCode, int shift) override;

  // Effect 1 (click), effect 2 (cancel, back, error) and the menu music.
  void Play1() { Aud1.Play(); }
  void Play2() { Aud2.Play(); }
  void PlayMus() { Mus.Play(); }
  void PlayIntro();

  static constexpr int kFaceSlots = 15;
  static constexpr int kProfileSlots = 3;

  // Background and title.
  Image& Texture = AddImage("Texture", {0, 0, 9855, 6855});
  N3dText& TXT = Add<N3dText>("TXT", {1680, 600, 4215, 1575});

  // Main buttons, hidden until the menu is ready.
  BtnEnh& Btn1 = AddButton("Btn1", {7320, 2280, 2055, 855}, "&Старт");
  BtnEnh& Btn4 = AddButton("Btn4", {7320, 3360, 2055, 855}, "&Профиль");
  BtnEnh& Btn2 = AddButton("Btn2", {7320, 4440, 2055, 855}, "&Интро");
  BtnEnh& Btn3 = AddButton("Btn3", {7320, 5520, 2055, 855}, "&Выход");
  Label& Label11 = AddLabel("Label11", {120, 6600, 3375, 255});  // the hint line, the version when idle

  // Covers over the button column until the menu is ready.
  PictureBox& Picture5 = AddPictureBox("Picture5", {7080, 2040, 2520, 4560});
  PictureBox& Picture1 = AddPictureBox("Picture1", {8400, 2280, 1215, 4095});

  // Face choice.
  PictureBox& StartGame = AddPictureBox("StartGame", {1680, 1920, 5415, 4575});
  Label& Label1 = AddLabel("Label1", {0, 120, 5415, 495}, &StartGame);  // the panel's title
  // The selection frame lies behind the faces (they are added after it).
  Shape& Selector = Add<Shape>("Selector", {0, 0, 975, 975}, &StartGame);
  std::vector<Image*> Varker;
  std::vector<Label*> NameVarker;
  BtnEnh& BtnUp2 = AddButton("BtnUp2", {240, 3960, 1215, 495}, "Вверх", &StartGame);
  BtnEnh& BtnDn2 = AddButton("BtnDn2", {1530, 3960, 1215, 495}, "Вниз", &StartGame);
  BtnEnh& BtnAccept = AddButton("BtnAccept", {2820, 3960, 1215, 495}, "Поехали!", &StartGame);
  BtnEnh& BtnCancel = AddButton("BtnCancel", {4110, 3960, 1215, 495}, "Отмена", &StartGame);

  // Name entry. The text box that takes the keys lies outside the screen; the name is shown
  // in the two large labels.
  PictureBox& Entering = AddPictureBox("Entering", {1800, 1920, 5175, 4575});
  Label& Label8 = AddLabel("Label8", {0, 120, 5175, 495}, &Entering);      // the panel's title
  Image& Image2 = AddImage("Image2", {1980, 720, 1215, 1215}, &Entering);  // the chosen face
  Label& txt2 = AddLabel("txt2", {120, 2280, 4935, 855}, &Entering);       // the name's red shadow
  Label& txt3 = AddLabel("txt3", {150, 2250, 4935, 855}, &Entering);       // the name
  // Why the typed name cannot be taken, when it cannot.
  Label& NameProblem = AddLabel("NameProblem", {120, 3180, 4935, 375}, &Entering);
  BtnEnh& BtnEnh2 = AddButton("BtnEnh2", {960, 3720, 1455, 615}, "ОК", &Entering);
  BtnEnh& BtnEnh1 = AddButton("BtnEnh1", {2760, 3720, 1455, 615}, "Отмена", &Entering);
  TextBox& Text1 = Add<TextBox>("Text1", {480, 12000, 3000, 315});

  // Overwrite question.
  PictureBox& Picture4 = AddPictureBox("Picture4", {1680, 2160, 5295, 4095});
  Label& Label12 = AddLabel("Label12", {0, 240, 5295, 375}, &Picture4);   // the title
  Image& Image3 = AddImage("Image3", {2160, 720, 975, 975}, &Picture4);   // the chosen face
  Label& Label14 = AddLabel("Label14", {0, 1800, 5295, 495}, &Picture4);  // the name
  Label& Label13 = AddLabel("Label13", {0, 2520, 5295, 375}, &Picture4);  // the question
  BtnEnh& BtnRes = AddButton("BtnRes", {840, 3240, 1575, 615}, "ОК", &Picture4);
  BtnEnh& BtnCan = AddButton("BtnCan", {2880, 3240, 1575, 615}, "Отмена", &Picture4);

  // Profile list: three slots, each with a face, the name and four result lines; below the
  // buttons, the way to the table of records.
  PictureBox& LoadProfile = AddPictureBox("LoadProfile", {1440, 2040, 5775, 5115});
  Label& Label9 = AddLabel("Label9", {0, 120, 5775, 495}, &LoadProfile);  // the panel's title
  std::vector<PictureBox*> Picture2;                                      // the slots
  std::vector<Image*> Image1;                                             // their faces
  std::vector<Label*> Label2, Label3, Label4, Label5, Label6, Label7;     // name, then a line per episode
  BtnEnh& BtnUp = AddButton("BtnUp", {300, 3720, 1215, 495}, "Вверх", &LoadProfile);
  BtnEnh& BtnDn = AddButton("BtnDn", {1650, 3720, 1215, 495}, "Вниз", &LoadProfile);
  BtnEnh& BtnLD = AddButton("BtnLD", {3000, 3720, 1215, 495}, "Загрузка", &LoadProfile);
  BtnEnh& BtnEnh4 = AddButton("BtnEnh4", {4350, 3720, 1215, 495}, "Отмена", &LoadProfile);
  BtnEnh& BtnRec = AddButton("BtnRec", {300, 4380, 5265, 495}, "Таблица рекордов", &LoadProfile);
  Label& ListNote = AddLabel("ListNote", {0, 1800, 5775, 375}, &LoadProfile);  // while the folder is read

  // Notice shown instead of the list when there are no profiles.
  PictureBox& Picture3 = AddPictureBox("Picture3", {1920, 2640, 4935, 2895});
  Label& Label15 = AddLabel("Label15", {0, 600, 4935, 495}, &Picture3);     // the title
  Label& Label16 = AddLabel("Label16", {240, 1320, 4455, 855}, &Picture3);  // the explanation

  MediaPlayer& Aud1 = AddMedia("Aud1");
  MediaPlayer& Aud2 = AddMedia("Aud2");
  MediaPlayer& Mus = AddMedia("Mus");

  // Timer1 asks for the game's display mode; Timer3 then shows the menu and Timer4 marks
  // that moment; Timer2 ends the program; Timer5 blinks "Поехали!" and "Загрузка"; Timer6
  // keeps the keys on the name entry; Timer7 reads a large folder of profiles on.
  Timer& Timer1 = AddTimer("Timer1", 0, [this] { Timer1_Timer(); });
  Timer& Timer3 = AddTimer("Timer3", 0, [this] { Timer3_Timer(); });
  Timer& Timer4 = AddTimer("Timer4", 0, [this] { Timer4.SetInterval(0); });
  Timer& Timer2 = AddTimer("Timer2", 0, [] { App::Get().End(); });
  // The buttons blink on the hidden panels too, as they always have. The name box's focus
  // belongs to a panel: it is checked only while a panel is open (EnableMainButtons), so
  // the idle menu does not wake for it.
  Timer& Timer5 = AddTimer("Timer5", 500, [this] { Timer5_Timer(); });
  Timer& Timer6 = AddTimer("Timer6", 0, [this] { Timer6_Timer(); });
  Timer& Timer7 = AddTimer("Timer7", 0, [this] { Timer7_Timer(); });

  // Panel state.
  int FaceListTop = 0;
  int SelectedFace = -1;
  int ProfileListTop = 0;
  int SelectedSlot = -1;
  std::array<std::string, kProfileSlots> SlotFiles;

 private:
  void BuildFaceSlots();
  void BuildProfileSlots();
  void StyleDesign();
  void StyleButtons();
  void WireMainButtons();
  void WirePanels();
  void WireProfileSlots();
  void WireKeyboardPlay();
  void SetHint(const std::string& text) { Label11.SetCaption(text); }
  void EnableMainButtons(bool on);

  void Timer1_Timer();
  void Timer3_Timer();
  void Timer5_Timer();
  void Timer6_Timer();
  void Timer7_Timer();

  void Btn1_Click();
  void Btn4_Click();
  void Btn3_Click();
  void BtnCancel_Click();
  void BtnEnh4_Click();
  void BtnLD_Click();

  // Face choice.
  void InitVarkers();
  void InitVarkers2();
  void Varker_MouseDown(int i);
  void NameVarker_MouseDown(int i, double y);
  void AcceptFace();
  void EnterName();
  void ShowEntering(bool on);
  void Text1_Change();

  // Creating the profile file.
  void NewProf();
  void Exists();
  void MkProfile();

  // Profile list.
  void InitProfs();
  void ShowProfileList();
  void Disp();
  void SelPrf(int XP);

  // Stops the menu music and shows the episode screen afresh.
  void OpenEpisodes();

  std::vector<std::string> faces_;
  std::vector<std::string> profiles_;
  std::unique_ptr<ProfileListing> listing_;
  // Folder entries read per page: a few milliseconds of work.
  static constexpr size_t kListPage = 1000;
};

// True when a typed character may stand in a profile name.
bool IsNameCharacter(std::string_view ch);

}  // namespace vark
