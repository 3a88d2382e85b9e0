#include "setup/setup_form.h"

#include <algorithm>
#include <string>

#include "platform/files/folders.h"
#include "platform/files/paths.h"
#include "platform/files/programs.h"
#include "platform/runtime/app.h"

namespace vark {
namespace {

constexpr int kRowTop = 180;
constexpr int kRowStep = 480;
constexpr int kVolumeStep = 10;
constexpr int kStatusWidth = 8160;
constexpr int kGap = 120;
constexpr const char* kGameProgram = "vark";

void StyleText(Label& label, const std::string& text, Color color, FontSpec font, Align align = Align::Center) {
  label.SetCaption(text);
  label.SetForeColor(color);
  label.SetFont(std::move(font));
  label.SetTransparent(true);
  label.SetAlignment(align);
}

void StyleButton(BtnEnh& b) {
  b.SetColorProperty(btn::kFaceColor, RGB(192, 0, 0));
  b.SetColorProperty(btn::kCaptionColor, RGB(255, 255, 255));
  b.SetColorProperty(btn::kHoverCaptionColor, kYellow);
  b.SetColorProperty(btn::kFrameColor, RGB(255, 255, 255));
  b.SetProperty(btn::kFramed, 1);
  b.SetProperty(btn::kStyle, btn::kRaisedFace);
  b.SetFont(FontSpec{"Arial Black", 11, true});
}

void LoadIfPresent(const char* file, const std::function<void(Picture)>& use) {
  if (FileExists(file)) use(Picture::Load(file));
}

}  // namespace

SetupForm::SetupForm() : Form("Setup") {
  BuildOptionRows();
  BuildVolumeRows();
  Background.SetStretch(true);
  StyleText(Title, "НАСТРОЙКА ИГРЫ", kYellow, FontSpec{"Arial Black", 16, true});
  Options.SetBorder(true);
  StyleText(Status, "", kYellow, FontSpec{"Arial", 10, true});
  Status.SetFitToWidth(8);  // narrower beside "Сбросить"
  for (BtnEnh* b : {&BtnPlay, &BtnSave, &BtnExit, &BtnLeaveSafe, &BtnSettings, &BtnReset}) StyleButton(*b);
  BtnReset.SetVisible(false);
  BtnReset.OnClick = [this] { Reset(); };
  BtnPlay.OnClick = [this] { SaveAndPlay(); };
  BtnSave.OnClick = [this] {
    if (Save()) ShowStatus("Настройки сохранены.", false);
  };
  BtnExit.OnClick = [] { App::Get().End(); };

  SafeNotice.SetVisible(false);
  SafeNotice.SetBorder(true);
  StyleText(SafeTitle, "БЕЗОПАСНЫЙ РЕЖИМ ВКЛЮЧЁН", kRed, FontSpec{"Arial Black", 14, true});
  StyleText(SafeText, "Игра открывает это окно вместо себя. Выключить безопасный режим и начать игру?", kYellow,
            FontSpec{"Arial", 12, true});
  SafeText.SetWordWrap(true);
  BtnLeaveSafe.OnClick = [this] {
    choice[0] = false;
    SaveAndPlay();
  };
  BtnSettings.OnClick = [this] { SafeNotice.SetVisible(false); };
  SetModalPanel(&SafeNotice);
  SetKeyPreview(true);
}

void SetupForm::BuildOptionRows() {
  for (size_t i = 0; i < kSetupOptions.size(); ++i) {
    int top = kRowTop + static_cast<int>(i) * kRowStep;
    int index = static_cast<int>(i);
    Label& box = *Box.emplace_back(&AddLabel("Box", {360, top, 360, 360}, &Options, index));
    box.SetBackColor(RGB(255, 255, 255));
    box.SetForeColor(RGB(192, 0, 0));
    box.SetFont(FontSpec{"Arial Black", 12, true});
    box.SetAlignment(Align::Center);
    box.SetVerticalCenter(true);
    Label& caption = *Caption.emplace_back(&AddLabel("Caption", {960, top + 15, 7080, 375}, &Options, index));
    StyleText(caption, kSetupOptions[i].caption, RGB(255, 255, 255), FontSpec{"Arial", 12, true}, Align::Left);
    box.OnClick = [this, i] { Toggle(i); };
    caption.OnClick = [this, i] { Toggle(i); };
  }
}

void SetupForm::BuildVolumeRows() {
  for (size_t i = 0; i < kSetupVolumes.size(); ++i) {
    int top = kRowTop + static_cast<int>(kSetupOptions.size() + i) * kRowStep;
    int index = static_cast<int>(i);
    Label& caption =
        *VolumeCaption.emplace_back(&AddLabel("VolumeCaption", {360, top + 15, 4800, 375}, &Options, index));
    StyleText(caption, kSetupVolumes[i].caption, RGB(255, 255, 255), FontSpec{"Arial", 12, true}, Align::Left);
    BtnEnh& quieter = *Quieter.emplace_back(&AddButton("Quieter", {5400, top, 600, 390}, "−", &Options, index));
    Label& level = *Level.emplace_back(&AddLabel("Level", {6120, top, 960, 390}, &Options, index));
    BtnEnh& louder = *Louder.emplace_back(&AddButton("Louder", {7200, top, 600, 390}, "+", &Options, index));
    for (BtnEnh* b : {&quieter, &louder}) {
      StyleButton(*b);
      b->SetFont(FontSpec{"Arial Black", 14, true});
    }
    level.SetBackColor(RGB(255, 255, 255));
    level.SetForeColor(RGB(192, 0, 0));
    level.SetFont(FontSpec{"Arial Black", 11, true});
    level.SetAlignment(Align::Center);
    level.SetVerticalCenter(true);
    quieter.OnClick = [this, i] { ChangeVolume(i, -kVolumeStep); };
    louder.OnClick = [this, i] { ChangeVolume(i, kVolumeStep); };
  }
}

void SetupForm::ChangeVolume(size_t i, int by) {
  volumes[i] = std::clamp(volumes[i] + by, 0, kFullVolume);
  ShowStatus("", false);
  ShowChoice();
}

void SetupForm::Form_Load() {
  LoadIfPresent("Texture0.jpg", [this](Picture p) { Background.SetPicture(std::move(p)); });
  LoadIfPresent("Texture1.jpg", [this](Picture p) {
    Options.SetPicture(p);
    SafeNotice.SetPicture(p);
  });
  TXT.SetCaption("Project: VARK");
  TXT.SetColor(4, RGB(125, 125, 125));
  TXT.SetColor(5, RGB(255, 255, 255));
  TXT.SetColor(3, RGB(0, 0, 0));
  choice = ReadSetupChoice();
  volumes = ReadSetupVolumes();
  ShowChoice();
  if (WorkFolderMissing()) ShowStatus("Нет папки игрока: профили не сохранятся.", true);
  ShowSettingsProblem();
  // Buttons side by side show their captions at one size.
  MatchCaptionSizes({&BtnPlay, &BtnSave, &BtnExit});
  MatchCaptionSizes({&BtnLeaveSafe, &BtnSettings});
}

void SetupForm::Form_KeyDown(int keyCode, int) {
  if (keyCode == SDLK_ESCAPE) App::Get().End();
  if (keyCode != SDLK_RETURN && keyCode != SDLK_KP_ENTER) return;
  BtnEnh& confirm = SafeNotice.Visible() ? BtnLeaveSafe : BtnPlay;
  confirm.OnClick();
}

void SetupForm::OfferToLeaveSafeMode() { SafeNotice.SetVisible(true); }

void SetupForm::Toggle(size_t i) {
  choice[i] = !choice[i];
  ShowStatus("", false);
  ShowChoice();
}

void SetupForm::ShowChoice() {
  for (size_t i = 0; i < choice.size(); ++i) Box[i]->SetCaption(choice[i] ? "X" : "");
  for (size_t i = 0; i < volumes.size(); ++i) Level[i]->SetCaption(std::to_string(volumes[i]));
}

bool SetupForm::Save() {
  WriteResult saved = SaveSetupChoice(choice, volumes);
  if (!saved) ShowStatus(SettingsProblemText(saved.problem), true);
  return static_cast<bool>(saved);
}

void SetupForm::SaveAndPlay() {
  ShowChoice();
  if (!Save()) return;
  if (!StartProgram(kGameProgram)) {
    ShowStatus("Настройки сохранены, но игру запустить не удалось.", true);
    return;
  }
  App::Get().End();
}

void SetupForm::ShowSettingsProblem() {
  WriteProblem problem = SettingsProblem();
  if (problem == WriteProblem::kNone) return;
  ShowReset(problem == WriteProblem::kTooLarge || problem == WriteProblem::kUnreadable);
  ShowStatus(SettingsProblemText(problem), true);
}

// The status line makes room for "Сбросить" beside it.
void SetupForm::ShowReset(bool on) {
  BtnReset.SetVisible(on);
  Status.SetWidth(on ? BtnReset.Left() - Status.Left() - kGap : kStatusWidth);
}

void SetupForm::Reset() {
  std::string copy;
  WriteResult reset = ResetSettings(choice, volumes, copy);
  if (!reset) {
    ShowStatus(SettingsProblemText(reset.problem), true);
    return;
  }
  ShowReset(false);
  ShowStatus("Новые настройки сохранены, старые — в " + copy + ".", false);
}

void SetupForm::ShowStatus(const std::string& text, bool failure) {
  Status.SetForeColor(failure ? kRed : kYellow);
  Status.SetCaption(text);
}

}  // namespace vark
