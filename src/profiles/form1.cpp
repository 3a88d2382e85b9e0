#include "profiles/form1.h"

#include <algorithm>

#include "episodes/form3.h"
#include "intro/intro.h"
#include "platform/base/utf8.h"
#include "profiles/profile_file.h"
#include "profiles/records.h"
#include "profiles/results.h"
#include "profiles/stack.h"
#include "startup/form2.h"
#include "startup/hpresol.h"

namespace vark {
namespace {

constexpr int kFaceColumns[] = {360, 1320, 2280, 3240, 4200};
constexpr int kFaceRows[] = {840, 1800, 2760};
constexpr int kFaceSize = 735;
// Each face's name has the width of its column, less a small gap, so neighbouring names
// never run together.
constexpr int kFaceNameWidth = 930;
constexpr int kSelectorMargin = 128;
constexpr int kProfileSlotTops[] = {600, 1560, 2520};
constexpr size_t kMaxNameLength = 64;

const Color kPanelButtonFace = RGB(192, 0, 0);
const Color kSlotBack = RGB(0, 0, 0);
const Color kSelectedSlotBack = RGB(64, 0, 0);
const char* kVersionHint = "Ver. 1.01";

const FontSpec kPanelTitleFont{"Arial Black", 14, true};
const FontSpec kSlotFont{"Arial", 8, true};

// The smallest sizes names shrink to before their middle gives way to "…".
constexpr double kSmallestNamePt = 12;       // the name being typed, in the display font
constexpr double kSmallestQuestionPt = 11;   // the name in the overwrite question
constexpr int kQuestionFrameClearance = 12;  // pixels between that name and the panel's frame
constexpr double kSmallestListPt = 7;        // a name in the profile list
constexpr double kSmallestFacePt = 6;        // a face's name under its picture

void StyleCaption(Label& label, const std::string& text, Color color, const FontSpec& font,
                  Align align = Align::Center) {
  label.SetCaption(text);
  label.SetForeColor(color);
  label.SetFont(font);
  label.SetTransparent(true);
  label.SetAlignment(align);
}

}  // namespace

bool IsNameCharacter(std::string_view ch) {
  // A character is fine when it may stand inside a safe file name. (Built up in place:
  // GCC 12 warns wrongly, -Wrestrict, about a literal + std::string once inlined.)
  std::string name = "a";
  name += ch;
  name += 'a';
  return IsSafeProfileName(name);
}

Form1::Form1() : Form("Form1") {
  BuildFaceSlots();
  BuildProfileSlots();
  StyleDesign();
  WireMainButtons();
  WirePanels();
  WireProfileSlots();
  SetKeyPreview(true);
  WireKeyboardPlay();
}

// Without a mouse: the faces and the profile slots take the focus ring like the buttons;
// each panel starts on its first choice, and Escape cancels the open panel.
void Form1::WireKeyboardPlay() {
  for (Image* face : Varker) face->SetFocusable(true);
  for (PictureBox* slot : Picture2) slot->SetFocusable(true);
  SetFirstFocus({&Btn1, Varker[0], &BtnEnh2, &BtnRes, Picture2[0], &BtnEnh4});
  SetEscapeButtons({&BtnCan, &BtnEnh1, &BtnCancel, &BtnEnh4});
}

void Form1::BuildFaceSlots() {
  for (int i = 0; i < kFaceSlots; ++i) {
    Image& face = AddImage("Varker", {kFaceColumns[i % 5], kFaceRows[i / 5], kFaceSize, kFaceSize}, &StartGame, i);
    face.SetStretch(true);
    face.OnMouseDown = [this, i](int, int, double, double) { Varker_MouseDown(i); };
    Varker.push_back(&face);
  }
  // The names reach a little into the next row of faces: they lie in front of every face,
  // so no name is cut by the picture below it.
  for (int i = 0; i < kFaceSlots; ++i) {
    int left = Varker[i]->Left() - (kFaceNameWidth - kFaceSize) / 2;
    Label& name = AddLabel("NameVarker", {left, Varker[i]->Top() + kFaceSize, kFaceNameWidth, 255}, &StartGame, i);
    StyleCaption(name, "", kYellow, FontSpec{"Arial", 8, true});
    name.SetFitToWidth(kSmallestFacePt);
    name.OnMouseDown = [this, i](int, int, double, double y) { NameVarker_MouseDown(i, y); };
    NameVarker.push_back(&name);
  }
}

void Form1::NameVarker_MouseDown(int i, double y) {
  // A name chooses its face; the lower edge of the name lies over the face below it.
  int below = i + 5;
  if (below < kFaceSlots && NameVarker[i]->Top() + y >= Varker[below]->Top()) {
    if (Varker[below]->Visible()) Varker_MouseDown(below);
    return;
  }
  Varker_MouseDown(i);
}

void Form1::BuildProfileSlots() {
  for (int k = 0; k < kProfileSlots; ++k) {
    PictureBox& slot =
        *Picture2.emplace_back(&Add<PictureBox>("Picture2", {480, kProfileSlotTops[k], 5000, 855}, &LoadProfile, k));
    slot.SetBackColor(kSlotBack);
    Image& face = *Image1.emplace_back(&AddImage("Image1", {60, 60, 735, 735}, &slot, k));
    face.SetStretch(true);
    auto label = [&](std::vector<Label*>& array, const char* name, Rect box, Color color) {
      Label& l = *array.emplace_back(&AddLabel(name, box, &slot, k));
      StyleCaption(l, "", color, kSlotFont, Align::Left);
    };
    label(Label2, "Label2", {900, 60, 1380, 255}, RGB(192, 192, 192));
    label(Label4, "Label4", {2340, 45, 2580, 285}, kYellow);
    label(Label3, "Label3", {900, 330, 2000, 255}, RGB(128, 255, 128));
    label(Label5, "Label5", {2940, 330, 2000, 255}, RGB(128, 255, 128));
    label(Label6, "Label6", {900, 570, 2000, 255}, RGB(128, 255, 128));
    label(Label7, "Label7", {2940, 570, 2000, 255}, RGB(128, 255, 128));
    Label2[k]->SetCaption("Имя VARKера:");
    Label4[k]->SetFont(FontSpec{"Arial Black", 9, true});
    Label4[k]->SetFitToWidth(kSmallestListPt);
  }
}

void Form1::StyleDesign() {
  Texture.SetStretch(true);
  for (BtnEnh* b : {&Btn1, &Btn2, &Btn3, &Btn4}) {
    b->SetVisible(false);
    b->SetFont(FontSpec{"Arial Black", 12, true});
  }
  StyleCaption(Label11, kVersionHint, kRed, FontSpec{"Arial", 9, true}, Align::Left);
  Picture5.SetBackColor(RGB(0, 0, 0));
  Picture1.SetBackColor(RGB(0, 0, 0));

  for (PictureBox* p : {&StartGame, &Entering, &Picture4, &LoadProfile, &Picture3}) {
    p->SetVisible(false);
    p->SetBorder(true);
  }
  // The name entry opens over the face choice and the overwrite question over the name
  // entry, each a little smaller than the panel beneath: the one beneath stays open but
  // out of sight, so no strip of it shows at the edges.
  StartGame.SetCoveredBy(Entering);
  Entering.SetCoveredBy(Picture4);
  Selector.SetVisible(false);
  Selector.SetFill(true, RGB(128, 0, 0));
  Selector.SetBorderColor(RGB(255, 64, 64));
  StyleCaption(Label1, "ВЫБЕРИ СЕБЯ !", kYellow, kPanelTitleFont);
  StyleCaption(Label8, "ВВЕДИ ИМЯ ПРОФИЛЯ:", kYellow, kPanelTitleFont);
  Image2.SetStretch(true);
  StyleCaption(txt2, "", kRed, FontSpec{"Impact", 28, false});
  StyleCaption(txt3, "", kYellow, FontSpec{"Impact", 28, false});
  StyleCaption(NameProblem, "", kRed, FontSpec{"Arial", 10, true});
  for (Label* name : {&txt2, &txt3}) name->SetFitToWidth(kSmallestNamePt);
  Text1.SetMaxLength(kMaxNameLength);
  Text1.SetCharFilter(IsNameCharacter);
  Text1.SetEnabled(false);
  StyleCaption(Label12, "ПРОФИЛЬ УЖЕ СУЩЕСТВУЕТ.", kYellow, kPanelTitleFont);
  Image3.SetStretch(true);
  StyleCaption(Label14, "", kRed, FontSpec{"Impact", 20, false});
  Label14.SetFitToWidth(kSmallestQuestionPt, kQuestionFrameClearance);
  StyleCaption(Label13, "ПРОИЗВЕСТИ ПЕРЕЗАПИСЬ?", kYellow, kPanelTitleFont);
  StyleCaption(Label9, "ЗАГРУЗИТЬ ПРОФИЛЬ", kYellow, kPanelTitleFont);
  StyleCaption(ListNote, "Читаю список профилей…", kYellow, FontSpec{"Arial", 11, true});
  ListNote.SetVisible(false);
  Picture3.SetBackColor(RGB(0, 0, 0));
  StyleCaption(Label15, "ПРОФИЛИ ОТСУТСТВУЮТ", kRed, kPanelTitleFont);
  StyleCaption(Label16, "Профили появятся после начала игры в первый раз.", kYellow, FontSpec{"Arial", 11, true});
  Label16.SetWordWrap(true);
}

void Form1::WireMainButtons() {
  auto hover = [this](BtnEnh& b, const char* hint) {
    b.OnMouseMove = [this, hint](int, int, double, double) { SetHint(hint); };
  };
  hover(Btn1, "Создание нового профиля");
  hover(Btn4, "Загрузка существующего профиля");
  hover(Btn2, "Интродукция: Hellos & Fucks :)");
  hover(Btn3, "Выход в МастДай");
  auto background = [this](int, int, double, double) { SetHint(kVersionHint); };
  OnMouseMove = background;
  Texture.OnMouseMove = background;

  Btn1.OnClick = [this] { Btn1_Click(); };
  Btn4.OnClick = [this] { Btn4_Click(); };
  Btn2.OnClick = [this] {
    Play1();
    PlayIntro();
  };
  Btn3.OnClick = [this] { Btn3_Click(); };
}

void Form1::WirePanels() {
  BtnUp2.OnClick = [this] {
    Play1();
    if (FaceListTop - 5 >= 0) {
      FaceListTop -= 5;
      InitVarkers2();
    }
  };
  BtnDn2.OnClick = [this] {
    Play1();
    if (FaceListTop + 15 <= static_cast<int>(faces_.size()) - 1) {
      FaceListTop += 5;
      InitVarkers2();
    }
  };
  BtnAccept.OnClick = [this] { AcceptFace(); };
  BtnCancel.OnClick = [this] { BtnCancel_Click(); };
  Text1.OnChange = [this] { Text1_Change(); };
  BtnEnh2.OnClick = [this] { NewProf(); };
  BtnEnh1.OnClick = [this] {
    Play2();
    ShowEntering(false);
  };
  BtnRes.OnClick = [this] {
    Play1();
    Picture4.SetVisible(false);
    MkProfile();
  };
  BtnCan.OnClick = [this] {
    Play2();
    Picture4.SetVisible(false);
  };
  BtnUp.OnClick = [this] {
    if (ProfileListTop > 0) {
      --ProfileListTop;
      Disp();
    }
    Play1();
  };
  BtnDn.OnClick = [this] {
    Play1();
    if (ProfileListTop < static_cast<int>(profiles_.size()) - kProfileSlots) {
      ++ProfileListTop;
      Disp();
    }
  };
  BtnLD.OnClick = [this] { BtnLD_Click(); };
  BtnEnh4.OnClick = [this] { BtnEnh4_Click(); };
  BtnRec.OnClick = [this] {
    Play1();
    Forms::Show<Records>();
  };
}

void Form1::WireProfileSlots() {
  for (int k = 0; k < kProfileSlots; ++k) {
    auto select = [this, k] { SelPrf(k); };
    auto press = [this, k](int, int, double, double) { SelPrf(k); };
    // The frame is chosen by the mouse only: a picture box never takes the keyboard focus
    // (the keys of this screen go to the name box), so a key-pressed handler on it could
    // never run.
    Picture2[k]->OnClick = select;
    // Every part of the slot selects it, the lower result lines too: a click there must not
    // fall into a dead spot.
    for (Control* c :
         std::initializer_list<Control*>{Image1[k], Label2[k], Label3[k], Label4[k], Label5[k], Label6[k], Label7[k]}) {
      c->OnClick = select;
      c->OnMouseDown = press;
    }
  }
}

void Form1::StyleButtons() {
  for (BtnEnh* b : {&Btn1, &Btn2, &Btn3, &Btn4}) {
    b->SetColorProperty(btn::kFaceColor, RGB(192, 255, 192));
    b->SetColorProperty(btn::kFrameColor, kWhite);
    b->SetColorProperty(btn::kHoverFaceColor, kYellow);
    b->SetProperty(btn::kFramed, 1);
    b->SetColorProperty(btn::kCaptionColor, RGB(0, 0, 192));
  }
  for (BtnEnh* b : {&Btn1, &Btn2, &Btn3, &Btn4}) b->SetProperty(btn::kStyle, btn::kRaisedFace);
  for (BtnEnh* b : {&BtnUp, &BtnDn, &BtnUp2, &BtnDn2, &BtnLD, &BtnAccept, &BtnCancel, &BtnEnh4, &BtnEnh1, &BtnEnh2,
                    &BtnRes, &BtnCan, &BtnRec})
    b->SetColorProperty(btn::kFaceColor, kPanelButtonFace);
  // Buttons side by side (and the menu's column) show their captions at one size.
  MatchCaptionSizes({&Btn1, &Btn2, &Btn3, &Btn4});
  MatchCaptionSizes({&BtnUp2, &BtnDn2, &BtnAccept, &BtnCancel});
  MatchCaptionSizes({&BtnUp, &BtnDn, &BtnLD, &BtnEnh4});
  MatchCaptionSizes({&BtnEnh2, &BtnEnh1});
  MatchCaptionSizes({&BtnRes, &BtnCan});
}

void Form1::Form_Load() {
  TXT.SetCaption("Project: VARK");
  SetMousePointer(Forms::Get<Stack>().CustomPointer());
  for (Label* name : NameVarker) name->SetTop(name->Top() + 64);
  StyleButtons();
  Aud1.SetFileName("Sfx\\Click.wav");
  Aud2.SetFileName("Sfx\\Open.wav");
  Mus.SetFileName("Sfx\\Track1.mid");
  Texture.LoadPicture("Texture0.jpg");
  Picture texture1 = Picture::Load("Texture1.jpg");
  for (PictureBox* p : {&StartGame, &Entering, &Picture4, &LoadProfile}) p->SetPicture(texture1);
  TXT.SetColor(4, RGB(125, 125, 125));
  TXT.SetColor(5, kWhite);
  TXT.SetColor(3, RGB(0, 0, 0));
  TXT.SetSwitch(0, true);
  Timer1.SetInterval(100);
}

// ---- Start-up and exit -------------------------------------------------------------------

void Form1::Timer1_Timer() {
  Timer1.SetInterval(0);
  Timer3.SetInterval(10);
  HPResol::SetMode("640x480x16");
}

void Form1::Timer3_Timer() {
  Timer3.SetInterval(0);
  Picture5.SetVisible(false);
  Forms::Unload<Form2>();
  // Timer4 only marks the moment the menu became ready; it stops at its first tick instead
  // of waking the loop every millisecond for nothing.
  Timer4.SetInterval(1);
  for (BtnEnh* b : {&Btn1, &Btn2, &Btn3, &Btn4}) b->SetVisible(true);
  Picture1.SetVisible(false);
  PlayMus();
}

void Form1::Timer5_Timer() {
  for (BtnEnh* b : {&BtnAccept, &BtnLD})
    b->SetColorProperty(btn::kFaceColor, b->Property(btn::kFaceColor) == PackColor(kRed) ? kYellow : kRed);
}

void Form1::Timer6_Timer() {
  if (Entering.Visible()) Text1.SetFocus();
}

void Form1::Btn3_Click() {
  Play2();
  HPResol::RestoreMode();
  Timer2.SetInterval(250);
}

void Form1::PlayIntro() {
  Mus.Stop();
  Forms::Unload<INTRO>();
  Forms::Show<INTRO>();
}

void Form1::EnableMainButtons(bool on) {
  for (BtnEnh* b : {&Btn1, &Btn2, &Btn3, &Btn4}) b->SetEnabled(on);
  Timer6.SetInterval(on ? 0 : 756);
}

void Form1::OpenEpisodes() {
  Mus.Stop();
  Forms::Unload<Form3>();
  Forms::Show<Form3>();
}

// ---- New profile -------------------------------------------------------------------------

void Form1::Btn1_Click() {
  SetHint("Создание нового профиля");
  BtnAccept.SetEnabled(false);
  Play1();
  StartGame.SetVisible(true);
  EnableMainButtons(false);
  InitVarkers();
}

void Form1::BtnCancel_Click() {
  Play2();
  StartGame.SetVisible(false);
  EnableMainButtons(true);
}

void Form1::InitVarkers() {
  BtnUp2.SetEnabled(false);
  BtnDn2.SetEnabled(false);
  faces_ = ListFaces();
  FaceListTop = 0;
  if (faces_.size() > kFaceSlots) {
    BtnUp2.SetEnabled(true);
    BtnDn2.SetEnabled(true);
  }
  InitVarkers2();
}

void Form1::InitVarkers2() {
  Selector.SetVisible(false);
  for (int i = 0; i < kFaceSlots; ++i) {
    Varker[i]->SetVisible(false);
    NameVarker[i]->SetVisible(false);
  }
  int last = std::min(static_cast<int>(faces_.size()) - 1 - FaceListTop, kFaceSlots - 1);
  for (int i = 0; i <= last; ++i) {
    const std::string& file = faces_[FaceListTop + i];
    Varker[i]->SetPicture(LoadFace(file));
    NameVarker[i]->SetCaption(DropLastChars(file, 4));
    Varker[i]->SetVisible(true);
    NameVarker[i]->SetVisible(true);
  }
}

void Form1::Varker_MouseDown(int i) {
  Play1();
  SelectedFace = i;
  BtnAccept.SetEnabled(true);
  Selector.Move(Varker[i]->Left() - kSelectorMargin, Varker[i]->Top() - kSelectorMargin, Selector.Width(),
                Selector.Height());
  Selector.SetVisible(true);
}

void Form1::AcceptFace() {
  if (SelectedFace < 0) return;
  // A slot left empty by paging still holds the name it showed last: that face is taken.
  const std::string name = NameVarker[SelectedFace]->Caption();
  Stack& stack = Forms::Get<Stack>();
  stack.File = name + ".dat";
  stack.Face = LoadFace(stack.File);
  stack.Profile = name;
  EnterName();
}

void Form1::ShowEntering(bool on) {
  Entering.SetVisible(on);
  // The off-screen box takes typed text only while the name entry is open.
  Text1.SetEnabled(on);
  if (on) Text1.SetFocus();
  else SetFocus(nullptr);
}

void Form1::EnterName() {
  Stack& stack = Forms::Get<Stack>();
  Image2.SetPicture(stack.Face);
  ShowEntering(true);
  txt2.SetCaption(stack.Profile + "_");
  Text1.SetText(stack.Profile);
  Text1.CaretEnd();
}

void Form1::Form_KeyDown(int keyCode, int) {
  bool enter = keyCode == SDLK_RETURN || keyCode == SDLK_KP_ENTER;
  if (enter && Entering.Visible() && !Picture4.Visible() && BtnEnh2.Enabled()) NewProf();
}

void Form1::Text1_Change() {
  Play1();
  txt2.SetCaption(Text1.Text() + "_");
  txt3.SetCaption(txt2.Caption());
  Text1.CaretEnd();
  // Only a name that can be a file name on any system may be confirmed; the panel says why not.
  BtnEnh2.SetEnabled(IsSafeProfileName(Text1.Text()));
  NameProblem.SetCaption(ProfileNameProblem(Text1.Text()));
}

void Form1::NewProf() {
  Play1();
  Stack& stack = Forms::Get<Stack>();
  stack.Profile = Text1.Text();
  // "alex" and "Alex" are one profile: the design's file system ignores letter case.
  if (ExistingProfileFile(stack.Profile)) Exists();
  else MkProfile();
}

void Form1::Exists() {
  Play2();
  Stack& stack = Forms::Get<Stack>();
  Image3.SetPicture(stack.Face);
  Label14.SetCaption(stack.Profile);
  Picture4.SetVisible(true);
}

void Form1::MkProfile() {
  // The file is written to a temporary name and renamed over any older file, so a failed
  // write leaves the older file intact. An older file whose name differs in letter case
  // goes once the new one is written: the name keeps the case just typed.
  Stack& stack = Forms::Get<Stack>();
  if (WriteResult saved = ReplaceProfile(stack.Profile, stack.File); !saved) {
    Play2();
    NameProblem.SetCaption(ProfileProblemText(saved.problem));
    return;
  }
  // A new profile starts with no results, whatever the profile played before had.
  for (std::string* line : {&stack.Caco, &stack.CacoBest, &stack.Erudit, &stack.Memory, &stack.Camper})
    *line = kNewResult;
  stack.HasProfile = true;
  stack.CacoPlayed = false;
  stack.ResultsUnsaved = false;
  stack.ResultNews.clear();
  OpenEpisodes();
}

// ---- Profile list ------------------------------------------------------------------------

void Form1::Btn4_Click() {
  Play1();
  SetHint("Загрузка существующего профиля");
  LoadProfile.SetVisible(true);
  // The list's panel, taller for the table of records' button, reaches over the hint line:
  // the line goes while the panel is open rather than show a cut-off word beside it.
  Label11.SetVisible(false);
  EnableMainButtons(false);
  InitProfs();
}

void Form1::BtnEnh4_Click() {
  Play2();
  Timer7.SetInterval(0);
  ListNote.SetVisible(false);
  EnableMainButtons(true);
  Picture3.SetVisible(false);
  LoadProfile.SetVisible(false);
  Label11.SetVisible(true);
}

// The folder is read a page at a time: a small one at once, a large one on Timer7 while
// the panel already answers (it says it is reading, and "Отмена" works).
void Form1::InitProfs() {
  BtnUp.SetEnabled(false);
  BtnDn.SetEnabled(false);
  SelPrf(-1);
  for (PictureBox* slot : Picture2) slot->SetVisible(false);
  listing_ = std::make_unique<ProfileListing>();
  bool done = listing_->ReadPage(kListPage);
  ListNote.SetVisible(!done);
  Timer7.SetInterval(done ? 0 : 1);
  if (done) ShowProfileList();
}

void Form1::Timer7_Timer() {
  if (!listing_ || !LoadProfile.Visible()) {
    Timer7.SetInterval(0);
    return;
  }
  if (!listing_->ReadPage(kListPage)) return;
  Timer7.SetInterval(0);
  ListNote.SetVisible(false);
  ShowProfileList();
}

void Form1::ShowProfileList() {
  profiles_ = listing_->Files();
  listing_.reset();
  if (profiles_.empty()) {
    BtnLD.SetEnabled(false);
    SelPrf(-1);
    Picture3.SetVisible(true);
    for (PictureBox* slot : Picture2) slot->SetVisible(false);
    return;
  }
  if (profiles_.size() > kProfileSlots) {
    BtnUp.SetEnabled(true);
    BtnDn.SetEnabled(true);
  }
  ProfileListTop = 0;
  Disp();
}

void Form1::Disp() {
  SelPrf(-1);
  int last = std::min(ProfileListTop + kProfileSlots - 1, static_cast<int>(profiles_.size()) - 1);
  for (PictureBox* slot : Picture2) slot->SetVisible(false);
  for (int i = ProfileListTop; i <= last; ++i) {
    int k = i - ProfileListTop;
    const std::string& file = profiles_[i];
    Label4[k]->SetCaption(DropLastChars(file, 4));
    // A damaged or unreadable file still gets its slot, with what could be read.
    ProfileLines lines = ReadProfile(file).value_or(ProfileLines{});
    Image1[k]->SetPicture(LoadFace(lines.face));
    auto shown = [](Episode episode, const std::string& line) {
      return std::string(EpisodeListName(episode)) + " " + ShownResult(episode, line);
    };
    Label3[k]->SetCaption(shown(Episode::kShooter, lines.line2));
    Label5[k]->SetCaption(shown(Episode::kQuiz, lines.line3));
    Label6[k]->SetCaption(shown(Episode::kMemory, lines.line4));
    // The fourth episode keeps no results: its line always shows as new.
    Label7[k]->SetCaption(std::string("DIZUZUDEZERU ") + kNewResult);
    SlotFiles[k] = file;
    Picture2[k]->SetVisible(true);
  }
}

void Form1::SelPrf(int XP) {
  for (PictureBox* slot : Picture2) slot->SetBackColor(kSlotBack);
  SelectedSlot = XP;
  if (XP != -1) {
    Picture2[XP]->SetBackColor(kSelectedSlotBack);
    Play1();
  }
  BtnLD.SetEnabled(XP != -1);
}

void Form1::BtnLD_Click() {
  if (SelectedSlot == -1) {
    Play2();
    return;
  }
  const std::string& file = SlotFiles[SelectedSlot];
  std::optional<ProfileLines> read = ReadProfile(file);
  ProfileLines lines = read.value_or(ProfileLines{});
  Stack& stack = Forms::Get<Stack>();
  stack.Face = LoadFace(lines.face);
  stack.Caco = lines.line2;
  stack.CacoBest = lines.line2;
  stack.Erudit = lines.line3;
  stack.Memory = lines.line4;
  stack.Camper = lines.line5;
  stack.Profile = DropLastChars(file, 4);
  stack.File = lines.face;
  // Results go only into a file that was read whole: a damaged one is never rewritten.
  stack.HasProfile = read && !read->damaged;
  stack.CacoPlayed = false;
  stack.ResultsUnsaved = false;
  stack.ResultNews.clear();
  OpenEpisodes();
}

}  // namespace vark
