#include "intro/intro.h"

#include <algorithm>
#include <cmath>
#include <iostream>

#include "platform/runtime/app.h"
#include "platform/video/display.h"
#include "profiles/form1.h"
#include "startup/options.h"

namespace vark {
namespace {

struct Credit {
  const char* title;
  const char* subtitle;
};

// The credits, in the order they roll; the name lines are the team and its friends. (The
// "E" in the author's role is a Latin letter on purpose: the line is kept letter for letter.)
constexpr std::array<Credit, INTRO::kCreditCount> kCredits{{
    {"Project: VarK", "The Arcade Game"},
    {"DEVELOPERS TEAM", "КОМАНДА РАЗРАБОТЧИКОВ"},
    {"ARSENY VARKIN", "АВТОР ПРОEКТА, ПРОГРАММИСТ"},
    {"OLEG TUMANOV", "АНИМАТОР, ХУДОЖНИК, МУЗЫКАНТ"},
    {"MARINA VESHKINA", "АНИМАТОР"},
    {"ILYA ZAREVICH", "АНИМАТОР"},
    {"PAVEL SUKHODOL", "АНИМАТОР"},
    {"BETA - TESTERS", "БЕТА-ТЕСТЕРЫ"},
    {"VARKWARE TEST CREW", "ОХОТНИКИ ЗА ОШИБКАМИ И ПАДЕНИЯМИ"},
    {"ФОРУМ \"ВАРКЕРСКАЯ\"", "ФОРУМ ЛЮБИТЕЛЕЙ СТАРЫХ АРКАД"},
    {"GREETINGS", "ПРОСТО ПРИВЕТЫ"},
    {"SASHA LINKOV", "СПАСИБО ЗА ИДЕИ И ЧАЙ!"},
    {"KATYA BORODINA", "ЗА ЛУЧШИЕ ЭСКИЗЫ МОНСТРОВ"},
    {"GRISHA PEREPELKIN", "ДЕРЖИСЬ, КАКОДЕМОНЫ БЛИЗКО!"},
    {"NINA SOLNTSEVA", "ЗА ТЕРПЕНИЕ К НАШИМ ОШИБКАМ"},
    {"TIMUR OKUNEV", "ЗА НОЧНЫЕ ТЕСТЫ"},
    {"VERA OSTROVA", "ЗА МУЗЫКУ В ГОЛОВЕ"},
    {"THE STAFF OF VARKWARE STUDIO", "СПАСИБО ЗА КОФЕ И КОМПЬЮТЕРЫ!"},
    {"THE VARKERS FORUM COMMUNITY", "ВЫ ЛУЧШИЕ, ПИШИТЕ ЕЩЁ!"},
    {"BRINDLE & KELP GAMES", "ПРИВЕТ КОЛЛЕГАМ ПО ЦЕХУ!"},
    {"ALL VARKERS IN THE UNIVERSE!!!", "И ВСЕМ-ВСЕМ-ВСЕМ!!!"},
    {"", ""},
    {"COMING SOON IN PROJECT VARK!", ""},
    {"", ""},
    {"TO BE CONTINUED :)", ""},
    {"", ""},
}};

constexpr const char* kScrollText =
    "ARSENY VARKIN, OLEG TUMANOV, MARINA VESHKINA, ILYA ZAREVICH, PAVEL SUKHODOL, VERA OSTROVA"
    " ПРЕДСТАВЛЯЮТ: PROJECT VARK: THE ARCADE GAME DEMO!  ЭТО ТОЛЬКО ДЕМО-ВЕРСИЯ С ТРЕМЯ ИЗ ЧЕТЫРЁХ ЭПИЗОДОВ."
    "  ПОДРОБНОСТИ НА САЙТЕ PROJECT VARK, ВОПРОСЫ И ИДЕИ ПИШИТЕ НА ФОРУМ \"ВАРКЕРСКАЯ\".  SEE YOU LATER!!!";

// The scrolling line's colour for each colour phase 1 to 7.
constexpr std::array<Color, 7> kScrollColours{RGB(0, 0, 255),   RGB(255, 0, 0),   RGB(192, 0, 192),  RGB(0, 255, 0),
                                              RGB(0, 255, 255), RGB(255, 0, 255), RGB(255, 255, 255)};

struct IntroPicture {
  const char* file;
  int width;
  int height;
};
constexpr IntroPicture kFramePicture{"gfx\\title.gif", kFrameWidth, kFrameHeight};
constexpr IntroPicture kTexturePicture{"gfx\\texture.gif", kMapSize, kMapSize};
constexpr IntroPicture kHeightPicture{"gfx\\height.gif", kMapSize, kMapSize};

// Loads one of the intro's 8-bit pictures; false (with a line on stderr) when it cannot
// serve for rendering.
bool LoadByteSurface(const IntroPicture& wanted, PictureBox& holder) {
  holder.SetPicture(Picture::LoadRaw(wanted.file));
  if (IsByteSurface(holder.GetPicture().Raw(), wanted.width, wanted.height)) return true;
  std::cerr << "vark: intro picture " << wanted.file << " is missing or not an 8-bit picture of at least "
            << wanted.width << " x " << wanted.height << "; the landscape stays black\n";
  return false;
}

// The flight opens high enough that the first view takes in lakes, hills and the far
// mountains; lower, it opened on a close-up of one rock whose map cells showed as blocks.
constexpr double kOpeningHeight = 800;

int16_t ToShort(double v) { return static_cast<int16_t>(std::clamp(std::nearbyint(v), -32768.0, 32767.0)); }

}  // namespace

INTRO::INTRO() : Form("INTRO") {
  DesignLooks();
  Image1.OnClick = [this] { Image1_Click(); };
  Pic.OnMouseMove = [this](int, int, double x, double y) { Pic_MouseMove(x, y); };
}

void INTRO::DesignLooks() {
  SetBackColor(RGB(0, 0, 0));
  SetMousePointer(MousePointer{PointerKind::Invisible, Picture{}});
  SetKeyPreview(true);
  Pic.SetPixelScale(true);
  Pichgt.SetVisible(false);
  Pictxt.SetVisible(false);
  Image1.SetStretch(true);
  Picture1.SetBackColor(RGB(0, 0, 0));
  Picture1.SetMousePointer(MousePointer{PointerKind::Invisible, Picture{}});
  Picture2.SetBackColor(RGB(0, 0, 0));
  Label2.SetFont(FontSpec{"Arial Black", 12, false});
  Label2.SetTransparent(true);
  Label2.SetAutoSize(true);
  // The darker colours of the line (blue, purple) hardly stand out from the black strip; a
  // grey copy one pixel down and right gives every colour an edge to read by.
  Label2.SetShadow(RGB(150, 150, 150), 1);
  Picture3.SetBackColor(RGB(0, 0, 0));
  Label1.SetForeColor(RGB(192, 255, 192));
  Label1.SetBackColor(RGB(0, 0, 0));
  Label1.SetFont(FontSpec{"Arial", 9.75, true});
  Label1.SetAlignment(Align::Center);
  Label1.SetCaption("Loading intro media... please wait!");
}

void INTRO::Initial() {
  if (Options().noVoxel) NoVoxelState = 1;
  MP.SetFileName("Sfx\\Intro.mp3");
  MPP();
  SetUpScrollLine();
  for (int i = 0; i < kCreditCount; ++i) {
    Titles[i] = kCredits[i].title;
    Subtitles[i] = kCredits[i].subtitle;
  }
  CreditPhase = 0;
  CreditIndex = 0;
  SetUpTitle();
  LoadPictures();
  Cam = Camera{};
  Cam.CamZ = kOpeningHeight;
  Timer1.SetInterval(2000);
}

void INTRO::SetUpScrollLine() {
  Label2.SetCaption(kScrollText);
  Picture2.Move(Image1.Width() + 1024, Picture2.Top(), Label2.Width() + 512, Picture2.Height());
}

void INTRO::SetUpTitle() {
  TXT.SetColor(0, RGB(255, 255, 0));
  TXT.SetColor(1, RGB(255, 0, 0));
  TXT.SetColor(2, RGB(0, 0, 128));
  TXT.SetColor(3, RGB(0, 0, 0));
  TXT.SetColor(4, RGB(125, 125, 125));
  TXT.SetColor(5, RGB(255, 255, 255));
  constexpr std::array<double, 6> numbers{75, 1, 0, 0, 0, 3.0};
  for (int i = 0; i < static_cast<int>(numbers.size()); ++i) TXT.SetNumber(i, numbers[i]);
  TXT.SetValue(numbers[0]);
  TXT.SetSwitch(0, true);
}

void INTRO::LoadPictures() {
  bool frame = LoadByteSurface(kFramePicture, Pic);
  bool texture = LoadByteSurface(kTexturePicture, Pictxt);
  bool height = LoadByteSurface(kHeightPicture, Pichgt);
  voxelReady_ = frame && texture && height;
  // Without a landscape the picture stays empty: the black form shows through.
  Image1.SetPicture(voxelReady_ ? Pic.GetPicture() : Picture{});
}

void INTRO::Timer1_Timer() {
  Picture1.SetVisible(false);
  Timer1.SetInterval(0);
  App& app = App::Get();
  // Each pass has its due time; a pass that comes late starts the count afresh rather
  // than running the next ones in a burst. Each pass moves the show on by the time since
  // the one before, so its pace does not depend on how many passes there are.
  double due = static_cast<double>(app.Now());
  uint64_t last = app.Now();
  double elapsed = kStepMs;
  while (true) {
    FramePass(elapsed);
    // Passes follow the display's refresh, up to 60 a second, so the line moves in small
    // steps; the rate is read each pass, so it follows the window to another display.
    due = std::max(due + 1000.0 / PassesPerSecond(Display().RefreshRate()), static_cast<double>(app.Now()));
    app.WaitUntil(static_cast<uint64_t>(std::ceil(due)));
    if (!Loaded() || !Visible() || app.Ended()) break;
    if (NoVoxelState == 1) NoVoxelState = 2;
    elapsed = std::min(static_cast<double>(app.Now() - last), kLongestPassMs);
    last = app.Now();
  }
  // After a click the intro is already unloaded and the menu back; a hidden intro still
  // has to hand over to the menu.
  if (Loaded() && !app.Ended()) ReturnToMenu();
}

void INTRO::FramePass(double elapsedMs) {
  MPP();
  CycleColour(elapsedMs);
  ScrollLine(elapsedMs);
  AdvanceCredits(elapsedMs);
  TXT.SetValue(TXT.Value() + 10);
  Cam.Drift(MouseX, MouseY, kFrameWidth, kFrameHeight, elapsedMs / kDriftMs);
  if (NoVoxelState != 2) RenderFrame();
}

void INTRO::CycleColour(double elapsedMs) {
  colourMs_ += elapsedMs;
  if (ColourPhase != 0 && colourMs_ < kColourStepMs) return;
  colourMs_ = ColourPhase == 0 ? 0 : std::fmod(colourMs_, kColourStepMs);
  ColourPhase = ColourPhase + 1 > 7 ? 1 : ColourPhase + 1;
  Label2.SetForeColor(kScrollColours[ColourPhase - 1]);
}

// The line's place comes from the time it has scrolled, in whole twips, so rounding never
// adds up to a drift between fast and slow passes.
void INTRO::ScrollLine(double elapsedMs) {
  scrollMs_ += elapsedMs;
  int target = static_cast<int>(std::floor(scrollMs_ / kStepMs * kScrollStepTwips + 1e-6));
  Picture2.SetLeft(Picture2.Left() - (target - scrolledTwips_));
  scrolledTwips_ = target;
  if (Picture2.Left() + Picture2.Width() <= 0) {
    Picture2.SetLeft(Image1.Width() + 1024);
    scrollMs_ = 0;
    scrolledTwips_ = 0;
  }
}

// CreditPhase counts the steps of 1/30 s the credit has stood, so each credit stays five
// seconds and its title's animation runs at the same pace at any pass rate.
void INTRO::AdvanceCredits(double elapsedMs) {
  if (CreditPhase == 0) {
    ShowNextCredit();
    return;
  }
  creditMs_ += elapsedMs;
  CreditPhase = 1 + static_cast<int>(std::floor(creditMs_ / kStepMs + 1e-6));
  TXT.SetValue(4 * CreditPhase);
  if (CreditPhase > kPassesPerCredit) {
    CreditPhase = 0;
    ++CreditIndex;
    ShowNextCredit();
  }
}

void INTRO::ShowNextCredit() {
  if (CreditIndex > kCreditCount - 1) CreditIndex = 0;
  TXT.SetCaption(Titles[CreditIndex]);
  Label1.SetCaption(Subtitles[CreditIndex]);
  TXT.SetValue(0);
  CreditPhase = 1;
  creditMs_ = 0;
}

void INTRO::RenderFrame() {
  if (!voxelReady_) return;
  const Picture& frame = Pic.GetPicture();
  DrawFrame(Cam, frame.Raw(), Pictxt.GetPicture().Raw(), Pichgt.GetPicture().Raw());
  frame.PixelsChanged();
  Image1.PictureChanged();
}

void INTRO::Form_KeyDown(int keyCode, int /*shift*/) {
  switch (keyCode) {
    case SDLK_q: Cam.CamY += 10; break;
    case SDLK_a: Cam.CamY -= 10; break;
    case SDLK_z: Cam.CamX += 10; break;
    case SDLK_x: Cam.CamX -= 10; break;
    case SDLK_w: Cam.CamZ += 10; break;
    case SDLK_s: Cam.CamZ -= 10; break;
    case SDLK_e: Cam.PitchStep += 0.005; break;
    case SDLK_d: Cam.PitchStep -= 0.005; break;
    case SDLK_c: Cam.Turn(30); break;
    case SDLK_v: Cam.Turn(-30); break;
    // The arrows and Page Up/Down (a controller's stick, D-pad and shoulder buttons)
    // steer too; Enter, Space and Escape (any other controller button) leave as a click.
    case SDLK_UP: Cam.CamY += 10; break;
    case SDLK_DOWN: Cam.CamY -= 10; break;
    case SDLK_LEFT: Cam.Turn(30); break;
    case SDLK_RIGHT: Cam.Turn(-30); break;
    case SDLK_PAGEUP: Cam.CamZ += 10; break;
    case SDLK_PAGEDOWN: Cam.CamZ -= 10; break;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
    case SDLK_SPACE:
    case SDLK_ESCAPE:
    case SDLK_AUDIOMUTE: ReturnToMenu(); break;
    default: break;
  }
}

void INTRO::Pic_MouseMove(double x, double y) {
  MouseX = ToShort(x);
  MouseY = ToShort(y);
}

void INTRO::Image1_Click() { ReturnToMenu(); }

void INTRO::ReturnToMenu() {
  Forms::Show<Form1>();
  MPl();
  Timer1.SetInterval(0);
  Forms::Unload(*this);
}

void INTRO::MPP() { MP.Play(); }

void INTRO::MPl() { Forms::Get<Form1>().PlayMus(); }

}  // namespace vark
