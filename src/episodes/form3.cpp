#include "episodes/form3.h"

#include "memory/tele.h"
#include "profiles/form1.h"
#include "profiles/profile_file.h"
#include "profiles/stack.h"
#include "quiz/quest.h"
#include "shooter/caco.h"

namespace vark {
namespace {

const Color kTitleGreen = RGB(0, 255, 0);
constexpr double kSmallestNamePt = 8;  // the player's name shrinks no further
constexpr double kSmallestResultPt = 8;
constexpr int kNewsBlinkMs = 400;
const FontSpec kTitleFont{"Arial", 11, true};

}  // namespace

Form3::Form3() : Form("Form3") {
  Image2.SetStretch(true);
  Image1.SetStretch(true);
  // A very long name shrinks, then loses its middle.
  Label2.SetTransparent(true);
  Label2.SetForeColor(kYellow);
  Label2.SetFont(FontSpec{"Arial Black", 14, true});
  Label2.SetFitToWidth(kSmallestNamePt);
  const std::pair<Label*, const char*> titles[] = {{&Label3, "АТАКА КАКОДЕМОНОВ:"},
                                                   {&Label4, "СЛЕГКА ПОVARKАЕМ:"},
                                                   {&Label5, "ТЕЛЕПОРТЕРЫ:"},
                                                   {&Label6, "ZUZAZE VUDODO:"}};
  for (auto [label, text] : titles) {
    label->SetCaption(text);
    label->SetForeColor(kTitleGreen);
    label->SetTransparent(true);
    label->SetFont(kTitleFont);
  }
  StyleResults();
  for (BtnEnh* b : {&BtnEnh1, &BtnEnh2, &BtnEnh3, &BtnEnh4, &BtnEnh5}) b->SetFont(FontSpec{"Arial Black", 14, true});
  BtnEnh6.SetFont(FontSpec{"Arial Black", 20, true});

  BtnEnh1.OnClick = [this] {
    Play1();
    PlayCaco();
  };
  BtnEnh2.OnClick = [this] {
    Play1();
    PlayQuest();
  };
  BtnEnh3.OnClick = [this] {
    Play1();
    PlayTele();
  };
  BtnEnh4.OnClick = [this] { Play1(); };
  BtnEnh5.OnClick = [this] { BtnEnh5_Click(); };
  // Without a mouse: the first episode has the focus, Escape leaves as "ВЫХОД" does.
  SetFirstFocus({&BtnEnh1});
  SetEscapeButtons({&BtnEnh5});
}

void Form3::StyleButtons() {
  for (BtnEnh* b : {&BtnEnh1, &BtnEnh2, &BtnEnh3, &BtnEnh4}) {
    b->SetColorProperty(btn::kCaptionColor, RGB(192, 0, 0));
    b->SetColorProperty(btn::kHoverCaptionColor, kYellow);
    b->SetProperty(btn::kStyle, btn::kRaisedFace);
  }
  BtnEnh5.SetColorProperty(btn::kCaptionColor, RGB(255, 128, 128));
  BtnEnh5.SetColorProperty(btn::kHoverCaptionColor, kYellow);
  BtnEnh5.SetProperty(btn::kStyle, btn::kRaisedFace);
  const std::pair<int, int32_t> title[] = {
      {btn::kCaptionColor, 128}, {btn::kHoverCaptionColor, 255}, {btn::kStyle, btn::kCaptionBox},
      {btn::kShadowColor, 255},  {btn::kLowerFaceColor, 192},    {btn::kHoverFrameColor, 255},
      {btn::kFramed, 1},         {btn::kShadowDepth, 3},         {btn::kFrameWidth, 2}};
  for (auto [number, value] : title) BtnEnh6.SetProperty(number, value);
  // The episode buttons form one column: their captions share one size.
  MatchCaptionSizes({&BtnEnh1, &BtnEnh2, &BtnEnh3, &BtnEnh4, &BtnEnh5});
}

void Form3::StyleResults() {
  for (Label* value : {&Best1, &Best2, &Best3, &LastScore}) {
    value->SetForeColor(kYellow);
    value->SetTransparent(true);
    value->SetFont(FontSpec{"Arial Black", 13, true});
    value->SetShadow(kBlack, 2);
    value->SetFitToWidth(kSmallestResultPt);
  }
  LastScore.SetFont(FontSpec{"Arial", 11, true});
  LastScore.SetForeColor(RGB(255, 160, 64));
  News.SetTransparent(true);
  News.SetAlignment(Align::Center);
  News.SetVerticalCenter(true);
  News.SetShadow(kBlack, 2);
  News.SetFitToWidth(kSmallestResultPt);
}

void Form3::ShowResults() {
  const Stack& stack = Forms::Get<Stack>();
  const std::pair<Label*, Episode> rows[] = {
      {&Best1, Episode::kShooter}, {&Best2, Episode::kQuiz}, {&Best3, Episode::kMemory}};
  for (auto [label, episode] : rows) label->SetCaption("РЕКОРД: " + ShownResult(episode, stack.BestLine(episode)));
  LastScore.SetVisible(stack.CacoPlayed);
  LastScore.SetCaption("ПОСЛЕДНИЙ СЧЁТ:" + stack.Caco);
  News.SetCaption(stack.ResultNews);
  bool newBest = stack.ResultNews == kNewBestNews;
  News.SetFont(newBest ? FontSpec{"Impact", 32, false} : FontSpec{"Arial", 12, true});
  News.SetForeColor(newBest ? kYellow : kRed);
  Timer2.SetInterval(newBest ? kNewsBlinkMs : 0);
  Forms::Get<Stack>().ResultNews.clear();
}

void Form3::Timer2_Timer() { News.SetForeColor(News.ForeColor() == kYellow ? kRed : kYellow); }

void Form3::Form_Load() {
  StyleButtons();
  Forms::Unload<Caco>();
  Forms::Unload<Tele>();
  const Stack& stack = Forms::Get<Stack>();
  SetMousePointer(stack.CustomPointer());
  if (Forms::IsLoaded<Form1>()) Forms::Get<Form1>().Hide();
  Label2.SetCaption(stack.Profile);
  Image1.SetPicture(stack.Face);
  ShowResults();
  Image2.LoadPicture("texture1.jpg");
  Image2.Move(-300, -300, Image2.Width(), Image2.Height());
  Aud1.SetFileName("Sfx\\Click.wav");
  Aud2.SetFileName("Sfx\\Open.wav");
  Mus.SetFileName("Sfx\\Track2.mid");
  PlayMus();
  // Brought to the front once here: it stays the active screen until an episode or the
  // main menu replaces it, so no timer needs to keep showing it (a 1 ms timer would keep
  // the loop busy all the time).
  Show();
}

void Form3::PlayCaco() {
  Forms::Unload<Caco>();
  Forms::Show<Caco>();
  Forms::Get<Caco>().Timer9.SetInterval(1);
}

void Form3::PlayQuest() {
  Forms::Unload<Quest>();
  Forms::Show<Quest>();
}

void Form3::PlayTele() {
  Forms::Unload<Tele>();
  Forms::Show<Tele>();
  Forms::Get<Tele>().Timer6.SetInterval(1);
}

void Form3::BtnEnh5_Click() {
  Play2();
  Forms::Unload<Form1>();
  Forms::Show<Form1>();
  Forms::Unload<Form3>();
}

}  // namespace vark
