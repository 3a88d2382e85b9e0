#include "quiz/quest.h"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <iostream>

#include "episodes/form3.h"
#include "platform/base/random.h"
#include "profiles/stack.h"

namespace vark {

namespace {

struct Place {
  const char* name;
  const char* monster;
};

// The seven places, in the order they are visited.
constexpr std::array<Place, kQuizLevels> kPlaces{{
    {"POWER STATION", "Imp"},
    {"CONTROL CENTER", "Demon"},
    {"HELL LABS", "Skelet"},
    {"CENTRAL PROCESSING", "Pain"},
    {"GOTCHA!", "Vile"},
    {"PHOBOS ANOMALY", "Cyber"},
    {"ICON OF SIN", "IOS"},
}};

// The last place has no monster picture of its own: its boss picture stands above the
// panel and the Imp's pictures serve for the death and the wrong answer.
constexpr const char* kBossMonster = "IOS";
constexpr const char* kBossStandIn = "Imp";

struct Spot {
  int left;
  int top;
};

// Where the level markers stand on the map.
constexpr std::array<Spot, kQuizLevels> kMarkerPositions{{
    {5280, 6000},
    {4200, 5040},
    {1800, 4200},
    {6840, 3600},
    {3360, 3120},
    {5160, 1560},
    {1920, 960},
}};

constexpr Color kAnswerColor = RGB(0, 255, 0);
constexpr Color kHoverColor = kRed;

constexpr int kFirstLevelBlinks = 10;
constexpr int kLaterLevelBlinks = 5;
constexpr int kBlinkMs = 600;
constexpr int kDeathFrameMs = 150;
constexpr int kEndScreenDelayMs = 1000;
constexpr int kEndPanelDelayMs = 2000;

constexpr const char* kLostMessage = "ТЕБЕ НЕ УДАЛОСЬ ДОСТИЧЬ ЗВАНИЯ ВАРКЕРА! ЗНАЙ СВОЙ VARK!";
constexpr const char* kWonMessage = "СВОИМИ ЗНАНИЯМИ ТЫ ДОКАЗАЛ, ЧТО ДОСТОИН ЗВАТЬСЯ ВАРКЕРОМ!";
constexpr const char* kDamagedDataMessage = "ФАЙЛ ВОПРОСОВ ПОВРЕЖДЁН ИЛИ ОТСУТСТВУЕТ.";

constexpr int kShadeMargin = 120;
constexpr uint8_t kShadeAlpha = 150;

Picture TranslucentBlack() {
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, 4, 4, 32, SDL_PIXELFORMAT_ARGB8888);
  if (s) SDL_FillRect(s, nullptr, SDL_MapRGBA(s->format, 0, 0, 0, kShadeAlpha));
  return Picture::FromSurface(s);
}

std::string MonsterPicture(const std::string& monster, const std::string& suffix = "") {
  return "Gfx\\" + monster + suffix + ".dat";
}

}  // namespace

Quest::Quest() : Form("Quest") {
  Ico1.LoadPicture(res::kPassed);
  Ico2.LoadPicture(res::kCurrent);
  Ico1.SetVisible(false);
  Ico2.SetVisible(false);
  for (Image* stretched : {&Image3, &Image2, &TextShade, &Image5, &Image6}) stretched->SetStretch(true);
  TextShade.SetPicture(TranslucentBlack());
  Picture1.SetVisible(false);
  Picture2.SetVisible(false);
  Picture3.SetVisible(false);
  Picture4.SetVisible(false);
  StyleTexts();
  WireMouse();
}

std::vector<Image*> Quest::AddMarkers() {
  std::vector<Image*> markers;
  for (int i = 0; i < kQuizLevels; ++i) {
    Image& marker = AddImage("Pointer", {kMarkerPositions[i].left, kMarkerPositions[i].top, 480, 480}, nullptr, i);
    marker.SetVisible(false);
    markers.push_back(&marker);
  }
  return markers;
}

std::vector<Label*> Quest::AddAnswers() {
  std::vector<Label*> answers;
  for (int p = 0; p < kAnswersPerQuestion; ++p) {
    answers.push_back(&AddLabel("Label3", {2520, 1080 + 360 * p, 4575, 375}, &Picture1, p));
  }
  return answers;
}

void Quest::StyleTexts() {
  Label1.SetFont(FontSpec{"Arial Black", 24, true});
  Label1.SetForeColor(kWhite);
  Label1.SetAlignment(Align::Center);
  Label1.SetTransparent(true);
  Label1.SetAutoSize(true);

  Label2.SetFont(FontSpec{"Arial Black", 9.75, false});
  Label2.SetForeColor(kAnswerColor);
  Label2.SetWordWrap(true);
  Label2.SetTransparent(true);

  for (Label* answer : Label3) {
    answer->SetFont(FontSpec{"Arial", 8.25, false});
    answer->SetForeColor(kAnswerColor);
    answer->SetWordWrap(true);
    answer->SetTransparent(true);
  }

  Label4.SetFont(FontSpec{"MS Sans Serif", 13.5, true});
  Label4.SetForeColor(kWhite);
  Label4.SetWordWrap(true);
  Label4.SetTransparent(true);
}

void Quest::WireMouse() {
  for (Label* answer : Label3) {
    int p = answer->Index();
    answer->OnClick = [this, p] { Label3_Click(p); };
    answer->OnMouseMove = [this, p](int, int, double, double) { Label3_MouseMove(p); };
  }
  auto clearColours = [this](int, int, double, double) { AllClr(); };
  for (Control* c : std::initializer_list<Control*>{&Image1, &Image2, &Image3, &TextShade, &Picture1}) {
    c->OnMouseMove = clearColours;
  }
  BtnEnh2.OnClick = [this] { ExitToMenu(); };
  // Without a mouse: the answers take the focus ring, the first one first; Escape leaves
  // the end screen as "ВЫХОД" does.
  for (Label* answer : Label3) answer->SetFocusable(true);
  SetFirstFocus({Label3[0], &BtnEnh2});
  SetEscapeButtons({&BtnEnh2});
}

void Quest::Form_Load() {
  BtnEnh2.SetColorProperty(btn::kFaceColor, kRed);
  Forms::Unload<Form3>();
  Show();
  SetMousePointer(Forms::Get<Stack>().CustomPointer());
  Quiz = ReadQuizData();
  Image1.LoadPicture("Enterin.jpg");
  Image3.LoadPicture("Stone.jpg");
  Level = 0;
  if (Quiz.Playable()) {
    AddLevel();
  } else {
    ShowDamagedDataScreen();
  }
  MP1.SetFileName("Sfx\\Shoot.wav");
  MP2.SetFileName("Sfx\\Arrgh.wav");
  MP4.SetFileName("Sfx\\Track4.mid");
}

void Quest::AddLevel() {
  if (Level == kQuizLevels) {
    WinGame();
    return;
  }
  for (Image* marker : Pointer) marker->SetVisible(false);
  for (int i = 0; i < Level; ++i) {
    Pointer[i]->SetPicture(Ico1.GetPicture());
    Pointer[i]->SetVisible(true);
  }
  Picture1.SetVisible(false);
  Pointer[Level]->SetPicture(Ico2.GetPicture());
  Pointer[Level]->SetVisible(true);
  PlaceName = kPlaces[Level].name;
  MonsterName = kPlaces[Level].monster;
  Label1.SetCaption(PlaceName);
  CentrePlaceName();
  if (MonsterName != kBossMonster) Image2.LoadPicture(MonsterPicture(MonsterName));
  ++Level;
  BlinkCount = Level > 1 ? kLaterLevelBlinks : kFirstLevelBlinks;
  Timer1.SetInterval(kBlinkMs);
}

// The place name grows with its text; it stays centred over the map.
void Quest::CentrePlaceName() { Label1.SetLeft((Image1.Width() - Label1.Width()) / 2); }

void Quest::Timer1_Timer() {
  Image& marker = *Pointer[Level - 1];
  marker.SetVisible(!marker.Visible());
  if (--BlinkCount > 0) return;
  marker.SetVisible(false);
  Timer1.SetInterval(0);
  StartLevel();
}

void Quest::StartLevel() {
  DrawQuestion();
  Label2.SetCaption(Quiz.Questions[CurrentQuestion]);
  for (int p = 0; p < kAnswersPerQuestion; ++p) Label3[p]->SetCaption(Quiz.Answers[CurrentQuestion][p]);
  AskedQuestions.push_back(CurrentQuestion);
  if (Level == kQuizLevels) RearrangeForLastLevel();
  ShowQuestion();
}

// Draws records at random until one not yet asked in this game comes up. The game only
// starts with at least as many records as levels, so one always remains.
void Quest::DrawQuestion() {
  auto asked = [this](int record) {
    return std::find(AskedQuestions.begin(), AskedQuestions.end(), record) != AskedQuestions.end();
  };
  do {
    CurrentQuestion = RndInt(Quiz.QuestionCount);
  } while (asked(CurrentQuestion));
}

void Quest::ShowQuestion() {
  AnswerJudged = false;
  Picture1.SetVisible(true);
}

// The last place shows its boss above a narrower panel lower down, without the monster
// beside the question and with larger texts.
void Quest::RearrangeForLastLevel() {
  Picture2.SetVisible(true);
  Image4.LoadPicture("Gfx\\ios.dat");
  MonsterName = kBossStandIn;
  Picture1.SetWidth(Picture1.Width() - 500);
  Image2.SetVisible(false);
  Label2.SetLeft(Label2.Left() - 1700);
  for (Label* answer : Label3) {
    answer->SetLeft(answer->Left() - 1400);
    answer->SetFontSize(11);
  }
  Label2.SetFontSize(13);
  Label2.SetWidth(Label2.Width() + 1300);
  Picture1.Move(Picture1.Left() + 350, Picture1.Top() + 2250, Picture1.Width(), Picture1.Height());
  FitTextShade();
}

// The band reaches from just left of the texts to just inside the panel's right edge.
void Quest::FitTextShade() {
  int left = std::min(Label2.Left(), Label3[0]->Left()) - kShadeMargin;
  TextShade.Move(left, kShadeMargin, Picture1.Width() - kShadeMargin - left, Picture1.Height() - 2 * kShadeMargin);
}

void Quest::AllClr() {
  for (Label* answer : Label3) answer->SetForeColor(kAnswerColor);
}

void Quest::Label3_MouseMove(int index) {
  AllClr();
  Label3[index]->SetForeColor(kHoverColor);
}

void Quest::Label3_Click(int index) {
  if (AnswerJudged) return;
  AnswerJudged = true;
  Answered = true;
  AllClr();
  if (Quiz.IsRight(CurrentQuestion, index)) {
    ++RightAnswers;
    Play1();
    ImageDeath();
  } else {
    Play2();
    ImageWin();
  }
}

void Quest::ImageDeath() {
  Frames = DeathFrames(MonsterName);
  FrameIndex = 0;
  Timer2.SetInterval(kDeathFrameMs);
}

void Quest::Timer2_Timer() {
  const std::string& frame = Frames[FrameIndex];
  if (frame == kQuizEndMarker) {
    Timer2.SetInterval(0);
    AddLevel();
    return;
  }
  Image2.LoadPicture("Gfx\\" + frame);
  ++FrameIndex;
}

void Quest::ImageWin() {
  Image2.LoadPicture(MonsterPicture(MonsterName, "f"));
  FrameIndex = 0;
  Timer4.SetInterval(kEndScreenDelayMs);
}

void Quest::Timer4_Timer() {
  Timer4.SetInterval(0);
  ShowEndScreen("Gfx\\End2.dat", kLostMessage);
}

void Quest::WinGame() { Timer5.SetInterval(kEndScreenDelayMs); }

void Quest::Timer5_Timer() {
  Timer5.SetInterval(0);
  ShowEndScreen("Gfx\\Win2.dat", kWonMessage);
}

void Quest::ShowEndScreen(const std::string& picture, const std::string& message) {
  Image5.LoadPicture(picture);
  Picture3.SetVisible(true);
  Label4.SetCaption(message);
  Timer6.SetInterval(kEndPanelDelayMs);
}

void Quest::Timer6_Timer() {
  Image6.LoadPicture("Stone.jpg");
  Timer6.SetInterval(0);
  Picture4.SetVisible(true);
}

// Without a usable question file no game can be played: the end panel says so at once
// and offers the way out.
void Quest::ShowDamagedDataScreen() {
  if (Quiz.EndedEarly) std::cerr << "Quest.dat: the file is damaged, no game can be played\n";
  else std::cerr << "Quest.dat: " << Quiz.QuestionCount << " usable questions, a game needs " << kQuizLevels << "\n";
  Label4.SetCaption(kDamagedDataMessage);
  Picture3.SetVisible(true);
  Timer6_Timer();
}

void Quest::ExitToMenu() {
  if (Answered) Forms::Get<Stack>().KeepResult(Episode::kQuiz, {RightAnswers, 0});
  Forms::Show<Form3>();
  Forms::Unload<Quest>();
}

void Quest::Timer3_Timer() { Play4(); }

void Quest::Play1() { MP1.Play(); }
void Quest::Play2() { MP2.Play(); }
void Quest::Play4() { MP4.Play(); }

}  // namespace vark
